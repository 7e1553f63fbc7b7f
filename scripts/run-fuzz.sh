#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds each, on its corpus.
set -euo pipefail
build_dir=${1:-build/fuzz}
seconds=${2:-60}
shopt -s nullglob
for target in "$build_dir"/fuzz/*/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="fuzz/corpus/${name#fuzz_}"
  work="$build_dir/corpus/${name#fuzz_}"
  mkdir -p "$work"
  echo "== $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 "$work" "$corpus"
done
