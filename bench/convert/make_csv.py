"""Writes a CSV file of about SIZE megabytes to PATH: a header and records of ten mixed
columns (numbers, names, quoted text with commas, doubled quotes and line breaks, dates,
non-ASCII text), the same bytes on every run.

usage: make_csv.py PATH SIZE_MB
"""
import random
import sys

path, size_mb = sys.argv[1], float(sys.argv[2])
target = int(size_mb * 1_000_000)
rng = random.Random(20261206)
words = ["alpha", "beta", "gamma", "delta", "Zürich", "São Paulo", "東京", "naïve",
         "O'Brien", "coffee", "ledger", "north", "south", "sales", "IT", "ops"]


def quoted(text):
    return '"' + text.replace('"', '""') + '"'


header = "id,name,dept,city,amount,quantity,date,active,comment,code\r\n"
rows = []
with open(path, "w", encoding="utf-8", newline="") as out:
    out.write(header)
    written = len(header)
    i = 0
    while written < target:
        i += 1
        comment = " ".join(rng.choice(words) for _ in range(rng.randint(2, 9)))
        if i % 7 == 0:
            comment = quoted(comment + ', said "' + rng.choice(words) + '"')
        elif i % 13 == 0:
            comment = quoted(comment + "\nsecond line")
        row = ",".join([
            str(i),
            rng.choice(words).capitalize() + " " + rng.choice(words),
            rng.choice(["Sales", "IT", "Ops", "R&D", "Legal"]),
            quoted(rng.choice(words) + ", " + rng.choice(words)),
            f"{rng.uniform(0, 100000):.2f}",
            str(rng.randint(0, 5000)),
            f"2026-{rng.randint(1, 12):02d}-{rng.randint(1, 28):02d}",
            rng.choice(["true", "false"]),
            comment,
            "%08X" % rng.getrandbits(32),
        ]) + "\r\n"
        rows.append(row)
        if len(rows) == 10000:
            chunk = "".join(rows)
            out.write(chunk)
            written += len(chunk.encode("utf-8"))
            rows = []
    if rows:
        out.write("".join(rows))
