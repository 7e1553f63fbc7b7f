"""Independent readers for the converter round-trip test.

csv FILE   prints the records that Python's csv module reads from FILE, as a JSON array.
html FILE  prints the text of every table row's cells in FILE, as a JSON array of arrays.
"""
import csv
import html.parser
import json
import sys


class TableCells(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.rows = []
        self.cell = None

    def handle_starttag(self, tag, attrs):
        if tag == "tr":
            self.rows.append([])
        elif tag in ("td", "th"):
            self.cell = []

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self.cell is not None:
            self.rows[-1].append("".join(self.cell))
            self.cell = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell.append(data)


def main():
    mode, path = sys.argv[1], sys.argv[2]
    if mode == "csv":
        csv.field_size_limit(sys.maxsize)
        with open(path, newline="", encoding="utf-8") as f:
            rows = [row for row in csv.reader(f) if row]
    else:
        reader = TableCells()
        with open(path, encoding="utf-8", newline="") as f:
            reader.feed(f.read())
        reader.close()
        rows = reader.rows
    json.dump(rows, sys.stdout, ensure_ascii=True)


main()
