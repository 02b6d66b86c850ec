#!/usr/bin/env bash
# Runs a Windows test executable under Wine in the build's own prefix.
# usage: wine-run.sh PREFIX EXE [ARGS...]
# The prefix is created on first use; a lock keeps parallel tests from
# creating it twice.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installer dialogs in a headless prefix.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.tolvaran-ready" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    touch "$prefix/.tolvaran-ready"
  fi
) 9>"$prefix.lock"
exec wine "$@"
