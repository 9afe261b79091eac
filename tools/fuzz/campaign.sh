#!/usr/bin/env bash
# Runs every libFuzzer target for SECONDS each, longer than the test run
# does, and prints the executions and findings per target.
# Usage: tools/fuzz/campaign.sh SECONDS [TARGET...]
#   JOBS=N   targets run side by side (default 1)
# Builds build/fuzz (clang) when needed. Each target starts from a copy of
# its seed corpus; what it finds (crash-*, timeout-*, oom-*, leak-*) is kept
# in build/fuzz/findings/<target>/, its log beside it.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:?usage: $0 SECONDS [TARGET...]}
shift
jobs=${JOBS:-1}
build="$root/build/fuzz"

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DJAVELIN_FUZZ=ON -DJAVELIN_TESTS=OFF >/dev/null || exit 1
fi
cmake --build "$build" -j "$jobs" >/dev/null || { echo "fuzz build failed" >&2; exit 1; }

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for target in "$build"/tools/fuzz/fuzz_*; do
    [ -x "$target" ] && targets+=("$(basename "$target")")
  done
fi

# One target: a fresh working corpus from the seeds, the run, and one line.
run_target() {
  local name=$1
  local findings="$build/findings/$name"
  local work
  work=$(mktemp -d)
  rm -rf "$findings"
  mkdir -p "$findings"
  local seeds="$root/tools/fuzz/corpus/${name#fuzz_}"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  "$build/tools/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$findings/" "$work" >"$findings/log.txt" 2>&1
  local status=$?
  local executions
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$findings/log.txt" | tail -1)
  local found
  found=$(find "$findings" -maxdepth 1 \( -name 'crash-*' -o -name 'timeout-*' -o -name 'oom-*' \
    -o -name 'leak-*' -o -name 'slow-unit-*' \) | wc -l)
  local units
  units=$(find "$work" -type f | wc -l)
  rm -rf "$work"
  printf '%-24s executions %-12s corpus %-6s findings %s%s\n' "$name" "${executions:-?}" "$units" \
    "$found" "$([ "$status" -ne 0 ] && echo " (exit $status, see $findings/log.txt)")"
  [ "$found" -eq 0 ] && [ "$status" -eq 0 ]
}

failed=0
running=0
for name in "${targets[@]}"; do
  run_target "$name" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || failed=$((failed + 1))
    running=$((running - 1))
  fi
done
while [ "$running" -gt 0 ]; do
  wait -n || failed=$((failed + 1))
  running=$((running - 1))
done
echo "targets: ${#targets[@]}, with findings: $failed"
[ "$failed" -eq 0 ]
