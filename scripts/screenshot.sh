#!/usr/bin/env bash
# Renders the main window after a sample run under a virtual display:
#   ./scripts/screenshot.sh [output.png]      (default docs/main-window.png)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
build="$top/build"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j 2 --target kavex_screenshot
out=${1:-"$top/docs/main-window.png"}
mkdir -p "$(dirname "$out")"
# A UTF-8 locale for the sample's Japanese names; the X server of xvfb-run, not the offscreen one.
LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/app/kavex_screenshot" "$out"
echo "$out"
