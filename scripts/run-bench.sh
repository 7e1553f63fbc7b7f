#!/usr/bin/env bash
# Runs every benchmark that the build produced and every bench script.
set -euo pipefail
build_dir=${1:-build/release}
shopt -s nullglob
for b in "$build_dir"/bench/*/bench_*; do
  [ -x "$b" ] && { echo "== $(basename "$b")"; "$b"; }
done
for s in bench/*.sh bench/*/*.sh; do
  echo "== $s"; "$s" "$build_dir"
done
