#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in a build folder of their own and
# runs each for SECONDS on a copy of its seed corpus (fuzz/corpus/NAME), then
# prints per target the executions per second, the executions in all, the
# coverage (edges), the corpus size and whether anything was found. Exits
# non-zero when a target found a crash, a leak, undefined behaviour or an input
# slower than 1 s; the input is kept under BUILD/findings/.
# usage: tools/fuzz.sh [SECONDS]
set -euo pipefail

seconds="${1:-60}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLMOOR_FUZZ_BUILD_DIR:-$here/build-fuzz}"

CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLMOOR_FUZZ=ON -DQUILLMOOR_TESTS=OFF -DQUILLMOOR_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzz_targets

mkdir -p "$build/findings" "$build/logs"
found=0
printf '%-22s %10s %12s %8s %8s  %s\n' target exec/s executions edges corpus result
for binary in "$build"/fuzz/*_fuzz; do
  target="$(basename "$binary")"
  name="${target%_fuzz}"
  work="$build/corpus/$name"
  mkdir -p "$work"
  log="$build/logs/$target.log"
  status=0
  # Leaks and undefined behaviour count as findings; so does any input over 1 s.
  "$binary" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$name-" "$work" "$here/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
  stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
  # A seed that fails at once leaves no coverage line.
  edges="$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | cut -d' ' -f2 || true)"
  corpus="$(find "$work" "$here/fuzz/corpus/$name" -type f | wc -l)"
  result="nothing found"
  if [ "$status" -ne 0 ]; then
    result="FOUND (see $log)"
    found=1
  fi
  printf '%-22s %10s %12s %8s %8s  %s\n' "$name" "$(stat average_exec_per_sec)" \
    "$(stat number_of_executed_units)" "${edges:-?}" "$corpus" "$result"
done
exit "$found"
