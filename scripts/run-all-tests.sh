#!/usr/bin/env bash
# Builds each preset and runs its tests; goes on after a failing preset so one
# run shows every failure, and fails at the end if any preset failed.
set -uo pipefail
cd "$(dirname "$0")/.."
failed=()
for preset in "$@"; do
  echo "=== $preset ==="
  if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" && ctest --preset "$preset"; }; then
    failed+=("$preset")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "FAILED presets: ${failed[*]}"
  exit 1
fi
echo "All presets passed: $*"
