#!/usr/bin/env bash
# Renders every window and dialog of the program on the simulated drives, in
# English, simplified and traditional Chinese, to PNG files in DIR, named
# after the class and the language (CMainWindow-zh_CN.png). No display is
# needed: the windows are drawn offscreen.
#   scripts/screenshots.sh DIR [BUILD_DIR]
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 DIR [BUILD_DIR]" >&2
  exit 2
fi
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$1"
build="${2:-$root/build}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build"
cmake --build "$build" -j2 --target vantreo-screenshots vantreo_data vantreo_translations
QT_QPA_PLATFORM=offscreen "$build/tests/vantreo-screenshots" "$out"
