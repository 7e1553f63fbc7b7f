"""Prints the records that Python's csv module reads from FILE, as a JSON array: an independent
reader for the converter round-trip test."""
import csv
import json
import sys

with open(sys.argv[1], newline="", encoding="utf-8") as f:
    json.dump([row for row in csv.reader(f) if row], sys.stdout, ensure_ascii=True)
