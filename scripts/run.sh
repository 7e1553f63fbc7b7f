#!/usr/bin/env bash
# Starts Plotwell. Without a display it shows what the headless commands do.
set -euo pipefail
build_dir=${1:-build/release}
app="$build_dir/plotwell"
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox}"
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$app" "${@:2}"
fi
echo "No display found: the window needs one (for example: xvfb-run make run)."
echo "Meanwhile, the headless commands:"
echo
"$app" --help
echo
echo "The chart page request of Sample 1:"
"$app" request --sample 1
echo
echo "Sample 1 drawn off screen and exported:"
out_dir=$(mktemp -d "${TMPDIR:-/tmp}/plotwell-demo.XXXXXX")
"$app" render --sample 1 -o "$out_dir/sample1.png"
"$app" render --sample 1 -o "$out_dir/sample1.pdf"
