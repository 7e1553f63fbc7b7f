#!/usr/bin/env bash
# Times the CSV parser against Python's csv module, Miller, SQLite's .import and wc -l (the
# floor) on one generated 200 MB file, warm cache, one thread each, and prints the ratios.
#   bench/csv/compare.sh [BUILD_DIR] [BYTES]
set -euo pipefail
build_dir=${1:-build/release}
bytes=${2:-200000000}
count="$build_dir/bench/csv/csv_count"
[ -x "$count" ] || { echo "compare.sh: build $count first"; exit 1; }
data=${TMPDIR:-/tmp}/plotwell-compare-$bytes.csv
[ -s "$data" ] || "$count" --generate narrow "$bytes" "$data"
cat "$data" > /dev/null

seconds() { # runs the command, prints its wall time in seconds
  local start end
  start=$(date +%s.%N)
  "$@" > /dev/null
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }' 
}

declare -A took
took[plotwell]=$(seconds "$count" "$data")
took[plotwell-sanitized]=$(seconds "$count" --sanitize "$data")
took[wc-l]=$(seconds wc -l "$data")
took[python-csv]=$(seconds python3 -c '
import csv, sys
n = 0
with open(sys.argv[1], newline="") as f:
    for row in csv.reader(f):
        n += len(row)
print(n)' "$data")
if command -v mlr > /dev/null; then
  took[mlr]=$(seconds mlr --icsv --ojson cat "$data")
fi
if command -v sqlite3 > /dev/null; then
  took[sqlite3]=$(seconds sqlite3 :memory: -cmd '.mode csv' ".import $data t" 'select count(*) from t;')
fi

size_mb=$(awk -v s="$(stat -c %s "$data")" 'BEGIN { print s / 1000000 }')
echo "file: $data ($(printf '%.0f' "$size_mb") MB, $(wc -l < "$data") lines)"
"$count" "$data"
printf '%-20s %9s %9s %s\n' tool seconds MB/s "time / plotwell's"
for tool in plotwell plotwell-sanitized wc-l python-csv mlr sqlite3; do
  [ -n "${took[$tool]:-}" ] || continue
  t=${took[$tool]}
  awk -v n="$tool" -v t="$t" -v mb="$size_mb" -v p="${took[plotwell]}" \
    'BEGIN { printf "%-20s %9.3f %9.0f %9.2f\n", n, t, mb / t, t / p }'
done
