"""Writes a CSV file whose one data record holds a field of about MB megabytes to PATH: a quoted
value with doubled quotes, commas and line breaks, so that it is read, cleaned and written
through every step that could hold a second copy of it.

usage: make_long_field.py PATH [MB]   (default 50)
"""
import sys

path = sys.argv[1]
megabytes = int(sys.argv[2]) if len(sys.argv) > 2 else 50
piece = 'say ""hi"", then\nwait; '
with open(path, "w", encoding="utf-8", newline="") as out:
    out.write("name,value,after\n")
    out.write('one,"')
    out.write(piece * (megabytes * 1_000_000 // len(piece)))
    out.write('",end\n')
