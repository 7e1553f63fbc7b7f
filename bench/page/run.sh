#!/usr/bin/env bash
# The chart page: layout in node for 93 and 10,000 rows, then, when Chromium
# is installed, layout and drawing in the real engine and the viewer's frame
# times while a chart of 1,000 boxes is zoomed and panned.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# One thread, so that the processor time it reports is the layout's own.
node --single-threaded "$here/bench.js"
if command -v chromium >/dev/null 2>&1; then
  node "$here/draw.js"
  node "$here/frames.js"
fi
