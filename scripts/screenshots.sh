#!/usr/bin/env bash
# Screenshots of the window at launch, after rendering Sample 1, with the item picker and the
# colour popover open, with the grid hidden and in full screen, taken on a virtual display.
# Usage: scripts/screenshots.sh [build-dir] [out-dir]
set -euo pipefail
build_dir=${1:-build/release}
out_dir=${2:-$build_dir/screenshots}
export PLOTWELL_RESOURCE_DIR="${PLOTWELL_RESOURCE_DIR:-$build_dir/resources}"
export QTWEBENGINE_CHROMIUM_FLAGS="${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}"
xvfb-run -a -s "-screen 0 1440x900x24" "$build_dir/tools/screenshots/ui_screenshots" "$out_dir"
