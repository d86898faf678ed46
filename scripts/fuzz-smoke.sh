#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*_fuzz.cpp) with clang and runs each for a short while.
#   scripts/fuzz-smoke.sh [SECONDS]     default 20 seconds per target
# The build folder is build-fuzz (or $DRAVO_FUZZ_BUILD). The engine library is instrumented
# for coverage (-fsanitize=fuzzer-no-link) and built with AddressSanitizer and
# UndefinedBehaviorSanitizer, so that the fuzzer sees the parsers' branches and their faults.
# Exits non-zero when a target finds a crash; the reproducer is left in the build folder.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
dir=${DRAVO_FUZZ_BUILD:-$here/build-fuzz}
"$here/scripts/setup.sh"
CC=clang CXX=clang++ cmake -S "$here" -B "$dir" -G Ninja -DDRAVO_FUZZ=ON -DDRAVO_TESTS=OFF -DDRAVO_BENCH=OFF \
  -DDRAVO_SANITIZE=ON -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
targets=()
for src in "$here"/fuzz/*_fuzz.cpp; do
  [ -e "$src" ] && targets+=("$(basename "$src" .cpp)")
done
[ ${#targets[@]} -gt 0 ] || { echo "fuzz-smoke: no fuzz targets"; exit 0; }
ninja -C "$dir" -j2 "${targets[@]}"
status=0
for t in "${targets[@]}"; do
  echo "fuzz-smoke: $t for ${seconds}s"
  # Absolute paths: a target may change its working folder (a game folder of its own).
  corpus=$dir/fuzz/$t.corpus
  mkdir -p "$corpus"
  if ! (cd "$dir/fuzz" && "./$t" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$dir/fuzz/" \
        "$corpus" 2>"$dir/fuzz/$t.log"); then
    echo "fuzz-smoke: $t FOUND A CRASH (see $dir/fuzz/$t.log)"
    tail -40 "$dir/fuzz/$t.log"
    status=1
  else
    grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$dir/fuzz/$t.log" | tail -2 || true
  fi
done
exit $status
