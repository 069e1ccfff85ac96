#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer + UndefinedBehaviorSanitizer; preset
# `fuzz`) and runs each one for a bounded time from its committed seeds in fuzz/corpus/<target>.
# A crash, a failed check, a leak, a timeout or running out of memory fails the run; the input that
# did it is kept in build/fuzz/artifacts/<target>/ and replays with build/fuzz/bin/<target> <file>.
#
#   tools/fuzz.sh            15 s per target (what tools/test.sh runs)
#   tools/fuzz.sh --long     10 minutes per target
#   tools/fuzz.sh --time N   N seconds per target
#
# New inputs the runs find go to build/fuzz/corpus/<target>/, so later runs start from them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

seconds=15
case "${1:-}" in
  "") ;;
  --long) seconds=600 ;;
  --time) seconds=${2:?--time needs a number of seconds} ;;
  *) echo "usage: tools/fuzz.sh [--long | --time SECONDS]" >&2; exit 2 ;;
esac

targets=(fuzz_container fuzz_profile fuzz_bundle fuzz_extract)
# Each target's emulated machine lives under TMPDIR: here a folder of this run, in memory when the
# host has a tmpfs, removed at the end (a crashing target cannot remove its own).
base=${TMPDIR:-/tmp}
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  base=/dev/shm
fi
TMPDIR=$(mktemp -d "$base/ov-fuzz.XXXXXX")
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "${OV_JOBS:-2}"

summary=()
failed=0
for target in "${targets[@]}"; do
  seeds=fuzz/corpus/${target#fuzz_}
  corpus=build/fuzz/corpus/${target#fuzz_}
  artifacts=build/fuzz/artifacts/$target
  log=build/fuzz/$target.log
  if [ -z "$(ls -A "$seeds" 2>/dev/null)" ]; then
    echo "fuzz: no seeds in $seeds" >&2
    exit 1
  fi
  mkdir -p "$corpus" "$artifacts"
  dict=()
  [ -f "fuzz/${target#fuzz_}.dict" ] && dict=(-dict="fuzz/${target#fuzz_}.dict")
  echo "== $target: $seconds s"
  status=0
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "build/fuzz/bin/$target" "$corpus" "$seeds" "${dict[@]}" \
    -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  if [ "$status" -ne 0 ]; then
    failed=1
    echo "!! $target failed (exit $status); the last lines of $log:"
    tail -n 40 "$log"
    summary+=("$(printf '%-16s %10s executions  FAILED, input in %s' "$target" "${runs:-?}" "$artifacts")")
  else
    summary+=("$(printf '%-16s %10s executions  no crash  (corpus %s files)' "$target" "${runs:-?}" \
      "$(ls "$corpus" | wc -l)")")
  fi
done

echo "== fuzz summary ($seconds s per target)"
printf '%s\n' "${summary[@]}"
exit "$failed"
