#!/usr/bin/env bash
# Times the CSV parser against Python's csv module, Miller, SQLite's .import and wc -l (the
# floor) on one generated 200 MB file, warm cache, one thread each, and prints the ratios to the
# parser with a counting delegate that takes whole records (plotwell); plotwell-fields counts
# field by field. Each time is the best of RUNS runs (default 3). Then the table of the vector
# paths: the counting parse with the path the parser measures best, and with the narrower ones
# forced, against Python's csv module.
#   bench/csv/compare.sh [BUILD_DIR] [BYTES]
#   PEERS=python leaves out Miller and SQLite, the slow ones.
set -euo pipefail
build_dir=${1:-build/release}
bytes=${2:-200000000}
count="$build_dir/bench/csv/csv_count"
[ -x "$count" ] || { echo "compare.sh: build $count first"; exit 1; }
data=${TMPDIR:-/tmp}/plotwell-compare-$bytes.csv
[ -s "$data" ] || "$count" --generate narrow "$bytes" "$data"
cat "$data" > /dev/null

runs=${RUNS:-3}

# Runs the command RUNS times and prints the wall time and the CPU time (user + system), in
# seconds, of the run with the least CPU time. Other work on the machine stretches the wall
# time far more than the CPU time.
seconds() {
  local out best=""
  for _ in $(seq "$runs"); do
    out=$( { /usr/bin/time -f '%e %U %S' "$@" > /dev/null; } 2>&1 | tail -1)
    out=$(awk -v o="$out" 'BEGIN { split(o, t, " "); print t[1], t[2] + t[3] }')
    if [ -z "$best" ] || awk -v a="$out" -v b="$best" 'BEGIN { split(a, x, " "); split(b, y, " "); exit !(x[2] < y[2]) }'; then
      best=$out
    fi
  done
  echo "$best"
}

"$count" --machine
echo "load: $(uptime | sed 's/.*load average: //')"
declare -A took
took[plotwell]=$(seconds "$count" --records "$data")
took[plotwell-fields]=$(seconds "$count" "$data")
took[plotwell-sanitized]=$(seconds "$count" --records --sanitize "$data")
took[wc-l]=$(seconds wc -l "$data")
took[python-csv]=$(seconds python3 -c '
import csv, sys
n = 0
with open(sys.argv[1], newline="") as f:
    for row in csv.reader(f):
        n += len(row)
print(n)' "$data")
if [ "${PEERS:-all}" = all ] && command -v mlr > /dev/null; then
  took[mlr]=$(seconds mlr --icsv --ojson cat "$data")
fi
if [ "${PEERS:-all}" = all ] && command -v sqlite3 > /dev/null; then
  took[sqlite3]=$(seconds sqlite3 :memory: -cmd '.mode csv' ".import $data t" 'select count(*) from t;')
fi

size_mb=$(awk -v s="$(stat -c %s "$data")" 'BEGIN { print s / 1000000 }')
echo "file: $data ($(printf '%.0f' "$size_mb") MB, $(wc -l < "$data") lines)"
"$count" --records "$data"
echo "load: $(uptime | sed 's/.*load average: //')"
printf '%-20s %8s %8s %10s   %8s %8s %10s\n' tool wall MB/s "/plotwell" cpu MB/s "/plotwell"
for tool in plotwell plotwell-fields plotwell-sanitized wc-l python-csv mlr sqlite3; do
  [ -n "${took[$tool]:-}" ] || continue
  awk -v n="$tool" -v t="${took[$tool]}" -v p="${took[plotwell]}" -v mb="$size_mb" 'BEGIN {
    split(t, a, " "); split(p, b, " ")
    printf "%-20s %8.3f %8.0f %10.2f   %8.3f %8.0f %10.2f\n", n, a[1], mb / a[1], a[1] / b[1],
      a[2], mb / a[2], a[2] / b[2] }'
done

echo
echo "vector paths (counting parse, whole records; best of $runs by CPU time):"
printf '%-28s %-8s %8s %8s %22s\n' setting path "cpu s" "MB/s" "python csv is x slower"
python_cpu=$(awk -v t="${took[python-csv]}" 'BEGIN { split(t, a, " "); print a[2] }')
for setting in default PLOTWELL_CSV_NO_AVX512=1 PLOTWELL_CSV_NO_AVX2=1; do
  env_args=()
  [ "$setting" = default ] || env_args=("$setting")
  path=$(env "${env_args[@]}" "$count" --machine | sed 's/.*CSV path: \([^ ]*\).*/\1/')
  # csv_count's own CPU time, to the microsecond (time(1) gives hundredths).
  t=$(for _ in $(seq "$runs"); do
        env "${env_args[@]}" "$count" --records "$data" | head -1 | sed 's/.*cpu-seconds \([0-9.]*\).*/\1/'
      done | sort -n | head -1)
  awk -v s="$setting" -v p="$path" -v t="$t" -v py="$python_cpu" -v mb="$size_mb" 'BEGIN {
    printf "%-28s %-8s %8.3f %8.0f %22.1f\n", s, p, t, mb / t, py / t }'
done
echo "load: $(uptime | sed 's/.*load average: //')"
