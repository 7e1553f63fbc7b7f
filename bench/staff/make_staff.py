#!/usr/bin/env python3
"""Writes a made-up staff list as an HR tool exports it: ids, several levels, teams of very
different sizes, rows shuffled so that many people come before their manager.

    make_staff.py PEOPLE OUT.csv
"""
import random
import sys

GIVEN = ["Ann", "Bob", "Chloé", "Dev", "Eun-ji", "Farid", "Gita", "Håkon", "Ines", "Jonas"]
FAMILY = ["Lee", "Stone", "Ortiz", "Nakamura", "O'Brien", "Kowalski", "Dubois", "Singh"]
TITLES = ["Engineer", "Analyst, Risk", "Team Lead", "Designer", "Accountant", "Recruiter"]
DEPARTMENTS = ["Engineering", "Finance", "Sales", "People"]


def main():
    people, out = int(sys.argv[1]), sys.argv[2]
    rnd = random.Random(19)
    manager = [-1] * people
    for i in range(1, people):
        u = rnd.random()
        # Squaring leans towards the early people: wide teams near the top, thin ones below.
        manager[i] = min(i - 1, int(u * u * i))
    order = list(range(people))
    rnd.shuffle(order)
    ident = lambda i: "E%06d" % (i + 1)
    with open(out, "w", encoding="utf-8", newline="") as f:
        f.write("Employee ID,Full Name,Job Title,Department,Manager ID\n")
        for i in order:
            name = "%s %s %d" % (GIVEN[i % len(GIVEN)], FAMILY[(i // 7) % len(FAMILY)], i)
            title = "Chief Executive" if i == 0 else TITLES[(i * 5) % len(TITLES)]
            boss = ident(manager[i]) if manager[i] >= 0 else ""
            f.write('%s,"%s","%s",%s,%s\n' % (ident(i), name, title, DEPARTMENTS[i % 4], boss))


if __name__ == "__main__":
    main()
