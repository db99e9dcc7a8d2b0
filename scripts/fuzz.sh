#!/usr/bin/env bash
# Runs every libFuzzer target for a number of seconds on its seed corpus (fuzz/corpus/<name>).
set -euo pipefail
build="$1"; seconds="${2:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
status=0
for bin in "$build"/fuzz/fuzz_*; do
  [ -x "$bin" ] || continue
  name="$(basename "$bin")"; name="${name#fuzz_}"
  work="$build/fuzz-work/$name"; mkdir -p "$work"
  seeds="$root/fuzz/corpus/$name"
  echo "== fuzz_$name for ${seconds}s" >&2
  ASAN_OPTIONS=detect_leaks=1 "$bin" -max_total_time="$seconds" -print_final_stats=1 \
    "$work" $( [ -d "$seeds" ] && echo "$seeds" ) || status=1
done
exit $status
