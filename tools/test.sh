#!/usr/bin/env bash
# Builds the four configurations and runs every test:
#   build/linux     Linux x86_64 (g++), tests with the machine's real JVM
#   build/sanitize  Linux with clang, AddressSanitizer + UndefinedBehaviorSanitizer
#   build/win64     Windows x64 (mingw-w64), tests under Wine
#   build/win32     Windows x86 (mingw-w64), tests under 32-bit Wine where it
#                   runs (skipped with the reason where it does not)
#   build/fuzz      libFuzzer targets, each run for a few seconds
# and checks that every C and C++ source is formatted as .clang-format says.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/tools/setup.sh"

jobs=$(nproc)
fuzz_seconds=${JAVELIN_FUZZ_SECONDS:-5}
# Test cases run as processes of their own, this many at a time.
test_jobs=${JAVELIN_TEST_JOBS:-$((jobs * 2))}

configure_and_build() {
  local dir=$1; shift
  echo "=== building $dir"
  cmake -S "$root" -B "$root/build/$dir" "$@" >/dev/null
  cmake --build "$root/build/$dir" -j "$jobs"
}

configure_and_build linux -DCMAKE_BUILD_TYPE=Release
configure_and_build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
configure_and_build win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DCMAKE_BUILD_TYPE=Release
CC=clang CXX=clang++ configure_and_build sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJAVELIN_SANITIZE=ON
CC=clang CXX=clang++ configure_and_build fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJAVELIN_FUZZ=ON -DJAVELIN_TESTS=OFF

passed=0
failed=0
record() { if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); fi; }

echo "=== format: every C and C++ source as .clang-format has it"
record "$root/tools/check-format.sh"

echo "=== tests: Linux"
record ctest --test-dir "$root/build/linux" --output-on-failure -j "$test_jobs"

echo "=== tests: Linux under AddressSanitizer + UndefinedBehaviorSanitizer"
# The JVM handles SIGSEGV itself and keeps memory until exit by design.
ASAN_OPTIONS=handle_segv=0:allow_user_segv_handler=1:detect_leaks=0:use_sigaltstack=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  record ctest --test-dir "$root/build/sanitize" --output-on-failure -j "$test_jobs"

# The dialog tests need an X display, and every Wine command of the run must
# see the same one: without a display of the caller's, a private Xvfb screen
# serves the whole Wine part.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -1 "$display_file")"
  rm -f "$display_file"
fi
export WINEDEBUG=-all
wine64_loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
# Runs the tests of one Windows build in the build's own Wine prefix. The
# Wine server stays up between the many short test processes, and so do
# Wine's own system processes while one idle Wine program (a command prompt
# reading from a pipe) runs: without it they end with every test program and
# start again with the next, about a second each time. end_wine ends both.
wine_suite() {
  export WINEPREFIX="$root/build/$1/wineprefix"
  "$root/tools/wine-run.sh" --prepare "$root/build/$1"
  wineserver -p
  exec {wine_idle}> >(exec "$wine64_loader" cmd >/dev/null 2>&1)
  record ctest --test-dir "$root/build/$1" --output-on-failure -j "$test_jobs"
}
end_wine() {
  exec {wine_idle}>&-
  wineserver -k || true
}

echo "=== tests: Windows x64 under Wine"
wine_suite win64
echo "=== release archives: built, unpacked and run"
record "$root/tools/release-test.sh"
end_wine

echo "=== tests: Windows x86 under Wine"
if wine32_problem=$("$root/tools/wine32-run.sh" --check); then
  wine_suite win32
  end_wine
else
  echo "skipped, not counted: $wine32_problem"
fi
[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true

echo "=== fuzzing ${fuzz_seconds}s per target"
for target in "$root"/build/fuzz/tools/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$root/tools/fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/
  if "$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 "$work" >"$work.log" 2>&1; then
    echo "$name: clean"; passed=$((passed + 1))
  else
    echo "$name: FAILED"; tail -40 "$work.log"; failed=$((failed + 1))
  fi
  rm -rf "$work" "$work.log"
done

# One line for the whole run: the test suites, the release check and the
# fuzz targets.
echo "suites: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
