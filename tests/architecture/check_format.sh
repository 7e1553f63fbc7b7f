#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format makes of it (.clang-format at the root).
set -euo pipefail
clang_format=$1
root=$2
cd "$root"
mapfile -t files < <(find src tests bench fuzz tools resources cmake -name '*.cpp' -o -name '*.h' | sort)
if "$clang_format" --dry-run --Werror "${files[@]}"; then
  echo "clang-format: ${#files[@]} files as formatted"
else
  echo "clang-format: run 'make format' to format the files above"
  exit 1
fi
