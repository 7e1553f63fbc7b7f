#!/usr/bin/env bash
# Times `plotwell convert` to SQL and JSON against Miller, csvkit and sqlite3 on one generated
# CSV file, and prints throughput, peak memory and the ratios.
#
# usage: bench/convert/compare.sh [BUILD_DIR]
#   CONVERT_BENCH_MB        size of the generated file in MB (default 200)
#   CONVERT_BENCH_SLICE_MB  size of the file csvkit is timed on (default 20; csvkit is slow)
#   CONVERT_BENCH_ROWS      records of the file of five short columns (default 1000000), where
#                           the cost per record shows
#   CONVERT_BENCH_FIELD_MB  size of the one field of the file whose peak memory is compared with
#                           it (default 50)
#
# Throughput is input megabytes (10^6 bytes) per second of wall-clock time, and per second of
# CPU time (user + system), which is steadier on a shared machine.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build_dir=$(cd "${1:-build/release}" && pwd)
plotwell=$build_dir/plotwell
size_mb=${CONVERT_BENCH_MB:-200}
slice_mb=${CONVERT_BENCH_SLICE_MB:-20}
short_rows=${CONVERT_BENCH_ROWS:-1000000}
field_mb=${CONVERT_BENCH_FIELD_MB:-50}

for tool in /usr/bin/time python3 mlr csvjson sqlite3; do
  command -v "$tool" >/dev/null || { echo "compare.sh: $tool is missing (scripts/install-deps.sh)"; exit 1; }
done
[ -x "$plotwell" ] || { echo "compare.sh: no $plotwell; build the plotwell target first"; exit 1; }

# The generated files are kept in the build folder: making 200 MB takes a while.
data_dir=$build_dir/bench-data
mkdir -p "$data_dir"
data=$data_dir/convert-${size_mb}mb.csv
slice=$data_dir/convert-${slice_mb}mb.csv
[ -s "$data" ] || python3 "$here/make_csv.py" "$data" "$size_mb"
[ -s "$slice" ] || python3 "$here/make_csv.py" "$slice" "$slice_mb"
short=$data_dir/short-rows-${short_rows}.csv
[ -s "$short" ] || python3 "$here/make_short_rows.py" "$short" "$short_rows"
long_field=$data_dir/long-field-${field_mb}mb.csv
[ -s "$long_field" ] || python3 "$here/make_long_field.py" "$long_field" "$field_mb"

work=$(mktemp -d "${TMPDIR:-/tmp}/plotwell-convert-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

declare -A wall_mbs cpu_mbs peak_mb
rows=()

# measure KEY LABEL INPUT OUTPUT COMMAND...: runs COMMAND with its standard output in OUTPUT.
measure() {
  local key=$1 label=$2 input=$3 output=$4
  shift 4
  local bytes
  bytes=$(stat -c %s "$input")
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >"$output" 2>"$work/stderr" || {
    echo "compare.sh: $label failed:"; cat "$work/stderr"; exit 1; }
  read -r wall user sys rss_kb <"$work/time"
  local out_bytes
  out_bytes=$(stat -c %s "$output")
  [ "$out_bytes" -gt 0 ] || out_bytes=$(stat -c %s "$work/out" 2>/dev/null || echo 0)
  wall_mbs[$key]=$(awk -v b="$bytes" -v t="$wall" 'BEGIN { printf "%.1f", b / 1e6 / (t > 0 ? t : 0.001) }')
  cpu_mbs[$key]=$(awk -v b="$bytes" -v u="$user" -v s="$sys" 'BEGIN { t = u + s; printf "%.1f", b / 1e6 / (t > 0 ? t : 0.001) }')
  peak_mb[$key]=$(awk -v k="$rss_kb" 'BEGIN { printf "%.1f", k / 1024 }')
  rows+=("$(printf '%-44s %7.1f %8.2f %8.1f %8.2f %8.1f %8.1f %9.1f' "$label" \
    "$(awk -v b="$bytes" 'BEGIN { print b / 1e6 }')" "$wall" "${wall_mbs[$key]}" \
    "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')" "${cpu_mbs[$key]}" \
    "$(awk -v k="$rss_kb" 'BEGIN { print k / 1024 }')" \
    "$(awk -v b="$out_bytes" 'BEGIN { print b / 1e6 }')")")
  rm -f "$output" "$work/out"
}

echo "== plotwell convert against Miller, csvkit and sqlite3 ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
# The processor, and the vector path the CSV parser takes on it (csv_count is built beside).
if [ -x "$build_dir/bench/csv/csv_count" ]; then
  "$build_dir/bench/csv/csv_count" --machine
else
  echo "processor: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //') (build csv_count for the CSV path)"
fi
measure pw_json "plotwell convert --to json" "$data" "$work/null" \
  "$plotwell" convert --to json "$data" -o "$work/out"
measure pw_sql "plotwell convert --to sql" "$data" "$work/null" \
  "$plotwell" convert --to sql "$data" -o "$work/out"
measure mlr_json "mlr --icsv --ojson cat" "$data" "$work/out.json" \
  mlr --icsv --ojson cat "$data"
measure sqlite_sql "sqlite3 .import + .dump" "$data" "$work/out.sql" \
  sqlite3 :memory: ".import --csv $data t" ".dump"
measure sqlite_json "sqlite3 .import + -json select" "$data" "$work/out.json" \
  sqlite3 -json :memory: ".import --csv $data t" "select * from t;"
measure csvkit_json "csvjson (on a ${slice_mb} MB file)" "$slice" "$work/out.json" \
  csvjson "$slice"
measure pw_json_short "plotwell convert --to json ($short_rows short rows)" "$short" "$work/null" \
  "$plotwell" convert --to json "$short" -o "$work/out"
measure pw_sql_short "plotwell convert --to sql ($short_rows short rows)" "$short" "$work/null" \
  "$plotwell" convert --to sql "$short" -o "$work/out"
# The same conversion on the small file: peak memory must not grow with the file.
measure pw_json_slice "plotwell convert --to json (${slice_mb} MB file)" "$slice" "$work/null" \
  "$plotwell" convert --to json "$slice" -o "$work/out"
# One long field: memory grows with it, but should hold it about once (as UTF-16, with its masks).
measure pw_json_field "plotwell convert --to json (one ${field_mb} MB field)" "$long_field" \
  "$work/null" "$plotwell" convert --to json "$long_field" -o "$work/out"
measure pw_sql_field "plotwell convert --to sql (one ${field_mb} MB field)" "$long_field" \
  "$work/null" "$plotwell" convert --to sql "$long_field" -o "$work/out"

printf '%-44s %7s %8s %8s %8s %8s %8s %9s\n' tool "in MB" "wall s" "MB/s" "cpu s" \
  "MB/cpu-s" "peak MB" "out MB"
printf '%s\n' "${rows[@]}"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1fx", (b > 0 ? a / b : 0) }'; }
/usr/bin/time -f '%M' -o "$work/time" "$plotwell" --version >/dev/null
echo "(plotwell's start-up alone, \`plotwell --version\`, peaks at $(awk '{ printf "%.1f", $1 / 1024 }' "$work/time") MB)"
field_bytes=$(stat -c %s "$long_field")
start_mb=$(awk '{ printf "%.1f", $1 / 1024 }' "$work/time")
for key in pw_json_field pw_sql_field; do
  awk -v k="${key#pw_}" -v p="${peak_mb[$key]}" -v s="$start_mb" -v b="$field_bytes" \
    'BEGIN { m = 1048576 / b; printf "(%s: one field of %.1f MB peaks at %.1f MB, %.1f times its size; %.1f times above start-up)\n", k, b / 1e6, p, p * m, (p - s) * m }'
done
echo
echo "ratios (plotwell MB/s over the peer's; wall-clock / CPU time):"
for peer in mlr_json sqlite_json csvkit_json; do
  printf '  JSON vs %-12s %8s / %s\n' "$peer" "$(ratio "${wall_mbs[pw_json]}" "${wall_mbs[$peer]}")" \
    "$(ratio "${cpu_mbs[pw_json]}" "${cpu_mbs[$peer]}")"
done
for peer in mlr_json sqlite_sql; do
  printf '  SQL  vs %-12s %8s / %s\n' "$peer" "$(ratio "${wall_mbs[pw_sql]}" "${wall_mbs[$peer]}")" \
    "$(ratio "${cpu_mbs[pw_sql]}" "${cpu_mbs[$peer]}")"
done
echo "(csvjson is timed on a ${slice_mb} MB file of the same kind; its MB/s is taken as its rate on the large one)"
echo "(load at the end: $(cut -d' ' -f1-3 /proc/loadavg); the 2 cores are shared, so the CPU-time figures are the steadier ones)"
