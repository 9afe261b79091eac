#!/usr/bin/env bash
# Installs what building and testing Javelin needs on a Debian machine.
# Idempotent: packages already present are not fetched again.
set -euo pipefail

packages=(
  cmake make g++ clang clang-format libclang-rt-dev googletest openjdk-17-jdk-headless
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  wine wine64 xvfb xdotool x11-apps imagemagick zenity valgrind hyperfine
  wixl icoutils lintian
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
