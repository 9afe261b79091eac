#!/usr/bin/env bash
# Runs a Windows program of a build under Wine with the build's own prefix.
# Usage: tools/wine-run.sh PROGRAM.exe [ARGS...]
#        tools/wine-run.sh --prepare BUILD_DIR   only makes the prefix ready
# The prefix is $WINEPREFIX, else <build folder>/wineprefix, where the build
# folder is the nearest folder above the program holding CMakeCache.txt.
# JAVELIN_WINE_LOADER names the loader (default wine64; tools/wine32-run.sh
# passes the 32-bit one).
set -u
tools=$(cd "$(dirname "$0")" && pwd)
wine64_loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
wine_loader=${JAVELIN_WINE_LOADER:-$wine64_loader}

if [ "${1:-}" = --prepare ]; then
  build_dir=$(cd "${2:?usage: wine-run.sh --prepare BUILD_DIR}" && pwd) || exit 1
  shift 2
else
  build_dir=$(cd "$(dirname "$1")" && pwd) || exit 1
  for dir in "$build_dir" "$build_dir/.." "$build_dir/../.."; do
    if [ -f "$dir/CMakeCache.txt" ]; then build_dir=$(cd "$dir" && pwd); break; fi
  done
fi
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=${LC_ALL:-C.UTF-8}

# One prefix serves both machine types: made by the 64-bit loader, it holds
# the 32-bit half too when 32-bit Wine is installed. A prefix made before
# 32-bit Wine was installed cannot start programs any more once it is, so
# such a prefix (one without the mark) is made anew. The lock keeps
# parallel first runs from making it twice.
prepare_prefix() {
  local mark=$WINEPREFIX/.javelin-wine32
  if [ -f "$WINEPREFIX/system.reg" ]; then
    [ -f "$mark" ] && return 0
    "$tools/wine32-run.sh" --check >/dev/null 2>&1 || return 0
    echo "wine-run: 32-bit Wine is installed now; making the prefix $WINEPREFIX anew" >&2
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
  fi
  "$wine64_loader" wineboot --init >/dev/null 2>&1
  wineserver -w 2>/dev/null || true
  if "$tools/wine32-run.sh" --check >/dev/null 2>&1; then touch "$mark"; fi
}
mkdir -p "$(dirname "$WINEPREFIX")"
if [ ! -f "$WINEPREFIX/system.reg" ] ||
   { [ ! -f "$WINEPREFIX/.javelin-wine32" ] && [ -x "${JAVELIN_WINE32_LOADER:-/usr/lib/wine/wine}" ]; }; then
  (flock 9 && prepare_prefix) 9>"$WINEPREFIX.lock"
fi
[ $# -eq 0 ] && exit 0

# Wine's background services (started by the first program of a session)
# inherit this program's output handles and outlive it; with the output in a
# file of its own, a caller reading a pipe is not kept waiting for them.
# The lines come out with Unix line ends, as the callers read them (ctest's
# reading of the test list among them).
output=$(mktemp)
"$wine_loader" "$@" >"$output" 2>&1 </dev/null
status=$?
sed 's/\r$//' "$output"
rm -f "$output"
exit $status
