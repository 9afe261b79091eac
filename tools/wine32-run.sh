#!/usr/bin/env bash
# Runs a 32-bit Windows program of a build under 32-bit Wine, in the build's
# own prefix (see tools/wine-run.sh).
# Usage: tools/wine32-run.sh PROGRAM.exe [ARGS...]
#        tools/wine32-run.sh --check   says why 32-bit Windows programs cannot
#                                      run here and fails; silent when they can
# 32-bit Wine is Debian's wine32:i386 (dpkg --add-architecture i386, then
# apt-get install wine32:i386). With it installed the plain `wine` command is
# the 32-bit loader; the 64-bit side keeps using wine64.
set -u
loader=${JAVELIN_WINE32_LOADER:-/usr/lib/wine/wine}

# Whether the 32-bit loader starts at all: it is missing without wine32, and
# a kernel without i386 support refuses to execute it.
check() {
  if [ ! -x "$loader" ]; then
    echo "no 32-bit Wine loader at $loader (Debian package wine32:i386)"
    return 1
  fi
  local output
  if ! output=$("$loader" --version 2>&1); then
    output=$(tail -1 <<<"$output")
    echo "the 32-bit Wine loader $loader does not start (${output##*: })"
    return 1
  fi
}

if [ "${1:-}" = --check ]; then
  check
  exit
fi
if ! reason=$(check); then
  echo "wine32-run: $reason" >&2
  exit 1
fi
JAVELIN_WINE_LOADER=$loader exec "$(dirname "$0")/wine-run.sh" "$@"
