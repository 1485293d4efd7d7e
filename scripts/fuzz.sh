#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, ASan and UBSan, and runs
# each of them: first over its regression inputs (fuzz/regressions/<target>/,
# inputs that once failed), then for a bounded time over a copy of its seed
# corpus (fuzz/corpus/<target>/). Fails when any input crashes, leaks, trips a
# sanitizer, times out or runs out of memory; the failing input is kept under
# the build directory, and the message says where and how to keep it as a
# regression case.
#
#   scripts/fuzz.sh [target...]        default: every target
#   FUZZ_SECONDS=300 scripts/fuzz.sh    fuzz longer (default 30 s per target)
#   FUZZ_BUILD_DIR=dir                  build directory (default build-fuzz)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

seconds=${FUZZ_SECONDS:-30}
dir=${FUZZ_BUILD_DIR:-build-fuzz}
jobs=$(nproc)
all_targets=(getopt_fuzzer xml_reader_fuzzer response_decoder_fuzzer value_format_fuzzer)
if [ $# -gt 0 ]; then targets=("$@"); else targets=("${all_targets[@]}"); fi
# One input may take at most 10 s and 2 GiB; a larger allocation counts as a failure too.
limits=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048)

cmake -S . -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTELVANE_SANITIZE=ON -DTELVANE_FUZZ=ON
cmake --build "$dir" -j "$jobs" --target "${targets[@]}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

work="$dir/fuzz-work"
failed=()
for target in "${targets[@]}"; do
  fuzzer="$dir/fuzz/$target"
  artifacts="$work/$target/artifacts"
  corpus="$work/$target/corpus"
  rm -rf "${work:?}/$target"
  mkdir -p "$artifacts" "$corpus"

  shopt -s nullglob
  regressions=(fuzz/regressions/"$target"/*)
  shopt -u nullglob
  if [ ${#regressions[@]} -gt 0 ]; then
    echo "== $target: ${#regressions[@]} regression inputs"
    if ! "$fuzzer" "${limits[@]}" -artifact_prefix="$artifacts/" "${regressions[@]}"; then
      failed+=("$target (regression inputs)")
      continue
    fi
  fi

  echo "== $target: fuzzing for $seconds s"
  cp fuzz/corpus/"$target"/* "$corpus"/
  options=("${limits[@]}" -max_total_time="$seconds" -print_final_stats=1
    -artifact_prefix="$artifacts/")
  if [ -f fuzz/"$target".dict ]; then options+=(-dict=fuzz/"$target".dict); fi
  # The option parser prints its own diagnostics when told to; libFuzzer and
  # the sanitizers still report on a duplicate of standard error.
  if [ "$target" = getopt_fuzzer ]; then options+=(-close_fd_mask=2); fi
  if ! "$fuzzer" "${options[@]}" "$corpus"; then
    failed+=("$target")
    echo "$target failed on an input now kept in $artifacts/." >&2
    echo "Reproduce: $fuzzer <input>; once fixed, copy the input to fuzz/regressions/$target/." >&2
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing failed: ${failed[*]}" >&2
  exit 1
fi
echo "Fuzzing passed: ${targets[*]}"
