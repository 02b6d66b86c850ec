#!/usr/bin/env bash
# The main job from a fresh machine: installs what is missing, builds the
# 32-bit Tolvaran.exe, plants the infected profile of
# tests/scenarios/infected-profile into a fresh Wine prefix (through Wine's
# own shell), lets Tolvaran.exe cure it from the command line under a private
# X display, and prints the report and where the screenshot is.
# Ends its own Xvfb and wineserver, whatever happens.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# TOLVARAN_DEMO_BUILD: an already configured Windows build folder to use
# instead of the win32 preset's.
build=${TOLVARAN_DEMO_BUILD:-$root/build/win32}

"$root/scripts/setup.sh"
if [ -z "${TOLVARAN_DEMO_BUILD:-}" ]; then
  (cd "$root" && cmake --preset win32 >/dev/null)
fi
jobs=2
if [ "$(cut -d' ' -f1 /proc/loadavg | cut -d. -f1)" -gt 3 ]; then jobs=1; fi
log=$build/demo-build.log
echo "demo: building Tolvaran.exe in $build (log: $log)"
if ! cmake --build "$build" --target Tolvaran wine_tools -j "$jobs" >"$log" 2>&1; then
  tail -40 "$log" >&2
  exit 1
fi

timeout --kill-after=20 600 python3 "$root/tests/e2e/demo_profile.py" \
  --program "$build/Tolvaran.exe" --tools "$build" --work "$build/demo" \
  --shot "$build/demo-screenshot.png"
