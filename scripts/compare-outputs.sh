#!/usr/bin/env bash
# Runs the same commands with two builds and compares what they write, byte for byte (PDFs by
# their text and page sizes, PNGs by their pixels): a change that should not show must pass it.
#
# usage: scripts/compare-outputs.sh OLD_BUILD_DIR NEW_BUILD_DIR [CSV...]
#   The CSV files (default: the sample CSV and a generated 20 MB converter bench file) are
#   converted to all four formats.
set -euo pipefail

old=$(cd "$1" && pwd)
new=$(cd "$2" && pwd)
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/plotwell-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT

inputs=("$@")
if [ ${#inputs[@]} -eq 0 ]; then
  python3 "$root/bench/convert/make_csv.py" "$work/bench.csv" 20
  inputs=("$root/resources/SAMPLE_DATA.csv" "$work/bench.csv")
fi

failures=0
same() { # LABEL FILE_A FILE_B
  if cmp -s "$2" "$3"; then
    echo "same      $1"
  else
    echo "DIFFERENT $1"
    failures=$((failures + 1))
  fi
}

for build in old new; do
  dir=${!build}
  mkdir -p "$work/$build"
  for sample in 1 2; do
    # The request names the build's own copy of the page: compare the rest.
    "$dir/plotwell" request --sample $sample | sed "s#^$dir/#BUILD/#" > "$work/$build/request-$sample.txt"
    for kind in png pdf; do
      "$dir/plotwell" render --sample $sample -o "$work/$build/sample-$sample.$kind" >/dev/null
    done
  done
  n=0
  for csv in "${inputs[@]}"; do
    n=$((n + 1))
    for format in sql json xml html; do
      "$dir/plotwell" convert --to $format "$csv" -o "$work/$build/input-$n.$format" >/dev/null
    done
  done
done

for sample in 1 2; do
  same "request --sample $sample" "$work"/{old,new}/request-$sample.txt
  for build in old new; do
    pdftotext "$work/$build/sample-$sample.pdf" "$work/$build/sample-$sample.pdf.txt"
    pdfinfo "$work/$build/sample-$sample.pdf" | grep -E '^(Pages|Page size)' > "$work/$build/sample-$sample.pdf.info"
    convert "$work/$build/sample-$sample.png" rgba:"$work/$build/sample-$sample.rgba"
    identify -format '%wx%h' "$work/$build/sample-$sample.png" > "$work/$build/sample-$sample.size"
  done
  same "render --sample $sample PDF text" "$work"/{old,new}/sample-$sample.pdf.txt
  same "render --sample $sample PDF pages" "$work"/{old,new}/sample-$sample.pdf.info
  same "render --sample $sample PNG size" "$work"/{old,new}/sample-$sample.size
  same "render --sample $sample PNG pixels" "$work"/{old,new}/sample-$sample.rgba
done
n=0
for csv in "${inputs[@]}"; do
  n=$((n + 1))
  for format in sql json xml html; do
    same "convert --to $format $(basename "$csv")" "$work"/{old,new}/input-$n.$format
  done
done
echo "compare-outputs: $failures difference(s)"
[ "$failures" -eq 0 ]
