#!/usr/bin/env bash
# Unpacks the release archives into a temporary folder and runs their
# examples as a user would:
#   Linux x86_64: example/hello with the machine's JVM, found by the
#                 installed-runtimes search (the example's INI sets no JRE Path);
#   Windows x64:  example\hello.exe under Wine, with the test JVM as its
#                 "JRE Path" (Wine has no Java of its own);
# then tools/ship-test.sh brands and packages the example with the Linux
# archive's javelin-brand and javelin-package and installs the packages.
# Usage: tools/release-test.sh [ARCHIVE_FOLDER]
# Without a folder, tools/release.sh first brings dist/ up to date (after a
# build of the three configurations that only packs the archives) and dist/
# is tested; with one, the archives in it are tested as they are. The test
# JVM comes from the Windows x64 test build (build/win64/tests/jvm.dll, made
# by tools/test.sh) unless TEST_JVM names another one.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=${1:-$root/dist}
version=$(sed -n 's/^project(javelin VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
linux_name=javelin-$version-linux-x86_64
win64_name=javelin-$version-windows-x64
test_jvm=${TEST_JVM:-$root/build/win64/tests/jvm.dll}

if [ $# -eq 0 ]; then
  "$root/tools/release.sh" "$dist" || exit 1
fi
dist=$(cd "$dist" && pwd) || exit 1
for archive in "$dist/$linux_name.tar.gz" "$dist/$win64_name.zip"; do
  if [ ! -f "$archive" ]; then
    echo "release-test: $archive is missing"
    exit 1
  fi
done
if [ ! -f "$test_jvm" ]; then
  echo "release-test: no test JVM at $test_jvm (build the win64 configuration with its tests first)"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
expect_files() {
  local top=$1; shift
  for file in "$@"; do
    [ -f "$top/$file" ] || fail "$(basename "$top") lacks $file"
  done
}
expect_output() {
  local what=$1 output=$2; shift 2
  for line in "$@"; do
    grep -qF -- "$line" <<<"$output" || fail "$what: no line '$line' in its output:"$'\n'"$output"
  done
}

echo "=== $linux_name.tar.gz"
mkdir "$work/linux"
tar -xzf "$dist/$linux_name.tar.gz" -C "$work/linux"
top=$work/linux/$linux_name
expect_files "$top" javelin javelin-brand javelin-package README.md LICENSE ini-reference.md example/hello \
  example/hello.ini example/hello.jar example/hello-window example/hello-window.ini example/hello-window.desktop
# Started from another folder: the example finds its INI and jar beside itself.
output=$(cd / && "$top/example/hello" "one two" 2>&1)
status=$?
[ "$status" -eq 0 ] || fail "example/hello ended with $status"
expect_output "example/hello" "$output" "Hello from Java " "Started by /" "Arguments: 3" \
  "[0] one two" "[1] --greeting" "[2] from the INI"

echo "=== $win64_name.zip"
mkdir "$work/win64"
(cd "$work/win64" && cmake -E tar xf "$dist/$win64_name.zip") || fail "cannot unpack $win64_name.zip"
top=$work/win64/$win64_name
expect_files "$top" javelin.exe javelinw.exe javelin-brand.exe javelin-package README.md LICENSE ini-reference.md \
  example/hello.exe example/hello.ini example/hello.jar example/hello-window.exe example/hello-window.ini
if find "$top" -iname '*.dll' | grep -q .; then fail "$win64_name.zip holds DLLs"; fi
for exe in javelin.exe javelinw.exe; do
  # The launchers ship beside every application: each stays within 250 KB.
  size=$(stat -c %s "$top/$exe")
  [ "$size" -le 256000 ] || fail "$exe is $size bytes, more than 250 KB"
  # Only Windows' own libraries are imported: no C or C++ runtime of the
  # compiler (libstdc++-6.dll, libgcc_s_seh-1.dll, libwinpthread-1.dll).
  headers=$(x86_64-w64-mingw32-objdump -p "$top/$exe")
  imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
  [ -n "$imports" ] || fail "cannot read the imports of $exe"
  for dll in $imports; do
    case "${dll,,}" in
      lib*|*gcc*|*pthread*|*stdc++*) fail "$exe imports $dll" ;;
    esac
  done
  # javelin.exe is a console program (subsystem 3), javelinw.exe a
  # windowless one (2).
  expected=3
  [ "$exe" = javelinw.exe ] && expected=2
  subsystem=$(sed -n 's/^Subsystem\s*0*\([0-9]*\).*/\1/p' <<<"$headers")
  [ "$subsystem" = "$expected" ] || fail "$exe has subsystem '$subsystem', $expected expected"
done

jre=$work/jre
mkdir -p "$jre/bin/server"
cp "$test_jvm" "$jre/bin/server/jvm.dll"
# Wine shows the Unix file system as drive Z:.
JRE_PATH="Z:$(tr / '\\' <<<"$jre")" awk '{ print } /^\[Java Runtime Environment\]/ {
  print "JRE Path=" ENVIRON["JRE_PATH"] }' "$top/example/hello.ini" >"$work/hello.ini"
mv "$work/hello.ini" "$top/example/hello.ini"
export WINEPREFIX=${WINEPREFIX:-$root/build/win64/wineprefix}
output=$(cd / && "$root/tools/wine-run.sh" "$top/example/hello.exe" "one two")
status=$?
[ "$status" -eq 0 ] || fail "example\\hello.exe under Wine ended with $status"
# The test JVM prints the arguments main received (UTF-16 units in hex) and
# logs the options the launcher gave it.
expect_output "example\\hello.exe" "$output" "argc=3" "main done"
expect_output "test JVM log" "$(cat "$jre/bin/server/testjvm.log" 2>/dev/null)" \
  "option -Djava.class.path=Z:${top//\//\\}\\example\\hello.jar" "option -Xmx64m"
# The window variant (javelinw.exe renamed), with its output redirected here:
# the same launch, and the exit code comes back.
JRE_PATH="Z:$(tr / '\\' <<<"$jre")" awk '{ print } /^\[Java Runtime Environment\]/ {
  print "JRE Path=" ENVIRON["JRE_PATH"] }' "$top/example/hello-window.ini" >"$work/hello-window.ini"
mv "$work/hello-window.ini" "$top/example/hello-window.ini"
output=$(cd / && "$root/tools/wine-run.sh" "$top/example/hello-window.exe" "one two")
status=$?
[ "$status" -eq 0 ] || fail "example\\hello-window.exe under Wine ended with $status"
expect_output "example\\hello-window.exe" "$output" "argc=3" "main done"

echo "=== shipping with the Linux archive's tools"
# The original example INI: the run above changed the unpacked copy.
mkdir "$work/win64-original"
(cd "$work/win64-original" && cmake -E tar xf "$dist/$win64_name.zip") || fail "cannot unpack $win64_name.zip"
"$root/tools/ship-test.sh" "$work/linux/$linux_name" "$work/win64-original/$win64_name" "$jre" ||
  fail "shipping from the archives"

if [ "$failures" -eq 0 ]; then
  echo "release archives: examples ran"
else
  echo "release archives: $failures failure(s)"
fi
[ "$failures" -eq 0 ]
