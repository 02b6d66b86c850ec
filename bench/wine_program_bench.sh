#!/usr/bin/env bash
# Tolvaran.exe under Wine: program file size, start-up to an answering
# window, and a folder of hijacked shortcuts cured from the command line
# against the floor of any cure (tools/wine_shell/floor_cure.cpp).
# usage: bench/wine_program_bench.sh [BUILD_DIR] [COUNT]
#   BUILD_DIR holds Tolvaran.exe and the Wine-side tools (default build/win32);
#   TOLVARAN_EXE names another program file to measure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/win32}
count=${2:-1000}
program=${TOLVARAN_EXE:-$build/Tolvaran.exe}
for f in "$program" "$build/floor_cure.exe" "$build/plant_shortcuts.exe"; do
  [ -f "$f" ] || { echo "missing $f (build targets Tolvaran and wine_tools)" >&2; exit 1; }
done
exec timeout --kill-after=20 2000 python3 "$root/tools/wine_shell/program_bench.py" \
  --program "$program" --tools "$build" --work "$build/bench-wine" --count "$count"
