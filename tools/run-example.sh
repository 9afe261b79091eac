#!/usr/bin/env bash
# Builds the Linux launcher and runs the hello example through it. Arguments
# given here reach the Java application unchanged.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
cmake -S "$root" -B "$root/build/linux" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/linux" -j "$(nproc)" --target example_hello >/dev/null
printf "Running build/linux/examples/hello/hello"; printf " %q" "$@"; echo
exec "$root/build/linux/examples/hello/hello" "$@"
