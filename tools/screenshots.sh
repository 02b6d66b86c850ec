#!/usr/bin/env bash
# Screenshots of the main window for the README, every picture in docs/:
# its four languages (window-en.png, window-ru.png, window-fr.png,
# window-de.png), a pasted list and its statistics (window-pasted.png,
# window-statistics.png), and the German window started at 120, 144 and
# 192 dpi (window-de-120.png, …). Drives the real program under Wine and Xvfb.
# usage: tools/screenshots.sh [BUILD_DIR]   (default build/win32; it must
# hold Tolvaran.exe and the Wine-side tools: targets Tolvaran, wine_tools)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win32}
program=${TOLVARAN_EXE:-$build/Tolvaran.exe}
for group in languages window_cure layout; do
  timeout --kill-after=20 400 python3 "$root/tests/e2e/run_group.py" "$group" \
    --program "$program" --tools "$build" --work "$build/screenshots" \
    --screenshots "$root/docs"
done
ls -l "$root"/docs/window-*.png
