#!/usr/bin/env bash
# Screenshots of the window at launch, after rendering Sample 1, with the item picker and the
# colour popover open, with the grid hidden and in full screen, taken on a virtual display.
# Usage: scripts/screenshots.sh [build-dir] [out-dir]
#        scripts/screenshots.sh look [build-dir] [out-dir]
#   look: the window's first impressions (launch, samples, popovers, a 93-row chart fitted,
#   zoomed, searched and folded) at 1280x800 and at 1920x1080, in out-dir/<size>/.
set -euo pipefail
look=no
if [ "${1:-}" = look ]; then
  look=yes
  shift
fi
build_dir=${1:-build/release}
out_dir=${2:-$build_dir/screenshots}
export PLOTWELL_RESOURCE_DIR="${PLOTWELL_RESOURCE_DIR:-$build_dir/resources}"
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}"
if [ $look = yes ]; then
  for size in 1280x800 1920x1080; do
    xvfb-run -a -s "-screen 0 1920x1080x24" \
      "$build_dir/tools/screenshots/ui_look_screenshots" "$out_dir/$size" "$size"
  done
  exit 0
fi
xvfb-run -a -s "-screen 0 1440x900x24" "$build_dir/tools/screenshots/ui_screenshots" "$out_dir"
