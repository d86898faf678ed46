#!/usr/bin/env bash
# Sets up the dependencies (once) and builds dravo into build/ (or, with --sanitize, into
# build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
dir=$here/build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  dir=$here/build-asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DDRAVO_SANITIZE=ON -DDRAVO_BENCH=OFF)
fi
cmake -S "$here" -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir"
