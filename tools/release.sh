#!/usr/bin/env bash
# Builds the three release configurations and their archives:
#   dist/javelin-<version>-linux-x86_64.tar.gz
#   dist/javelin-<version>-windows-x64.zip
#   dist/javelin-<version>-windows-x86.zip
# Each archive holds the launcher, README.md, ini-reference.md, LICENSE and
# example/ (the hello example, ready to run). The builds are the ones of
# tools/test.sh (build/linux, build/win64, build/win32): after a test run only
# the archives are new.
# Usage: tools/release.sh [OUTPUT_FOLDER]   (default: dist)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=$(mkdir -p "${1:-$root/dist}" && cd "${1:-$root/dist}" && pwd)
"$root/tools/setup.sh"

jobs=$(nproc)
build_release() {
  local config=$1; shift
  local dir="$root/build/$config"
  echo "=== release build: $config"
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j "$jobs" >/dev/null
  (cd "$dir" && cpack -B "$output" >/dev/null)
}

build_release linux
build_release win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
build_release win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"

rm -rf "$output/_CPack_Packages"
echo "=== archives in $output"
for archive in "$output"/javelin-*.zip "$output"/javelin-*.tar.gz; do
  if [ -f "$archive" ]; then
    printf '%8d bytes  %s\n' "$(stat -c %s "$archive")" "$(basename "$archive")"
  fi
done
