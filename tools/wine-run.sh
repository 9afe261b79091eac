#!/usr/bin/env bash
# Runs a Windows program of the build under Wine with the build's own prefix.
# Usage: tools/wine-run.sh PROGRAM.exe [ARGS...]
set -u
build_dir=$(cd "$(dirname "$1")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=${LC_ALL:-C.UTF-8}
wine_loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine_loader" wineboot --init >/dev/null 2>&1
  wineserver -w 2>/dev/null || true
fi
# Wine's background services (started by the first program of a session)
# inherit this program's output handles and outlive it; with the output in a
# file of its own, a caller reading a pipe is not kept waiting for them.
output=$(mktemp)
"$wine_loader" "$@" >"$output" 2>&1 </dev/null
status=$?
cat "$output"
rm -f "$output"
exit $status
