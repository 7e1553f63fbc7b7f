"""Writes a CSV file of ROWS records of five short columns (id, name, department, salary, city;
about 37 bytes a record) to PATH, the same bytes on every run: a file where the cost of each
record, not of each byte, shows.

usage: make_short_rows.py PATH [ROWS]   (default 1000000)
"""
import random
import sys

path = sys.argv[1]
rows = int(sys.argv[2]) if len(sys.argv) > 2 else 1_000_000
rng = random.Random(20261207)
first_names = ["Ana", "Bruno", "Chen", "Dara", "Elif", "Femi", "Gustav", "Hana", "Ivo", "Jonas"]
last_names = ["Silva", "Okafor", "Novak", "Tanaka", "Berg", "Moreau", "Ivanova", "Costa"]
departments = ["Sales", "IT", "Ops", "Legal", "R&D", "HR", "Finance", "Support", "Marketing"]
cities = ["Oslo", "Lima", "Pune", "Kyiv", "Rome", "Quito", "Accra", "Porto", "Dublin"]

with open(path, "w", encoding="utf-8", newline="") as out:
    out.write("id,name,department,salary,city\n")
    batch = []
    for i in range(1, rows + 1):
        batch.append(f"{i},{rng.choice(first_names)} {rng.choice(last_names)},{rng.choice(departments)},"
                     f"{rng.randint(20000, 150000)},{rng.choice(cities)}\n")
        if len(batch) == 10000:
            out.write("".join(batch))
            batch = []
    out.write("".join(batch))
