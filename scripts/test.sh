#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal
# build, and a build with AddressSanitizer and UndefinedBehaviorSanitizer; in
# between, each fuzz target runs for a bounded time (scripts/fuzz.sh).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/setup.sh
jobs=$(nproc)

# run_suite DIR CTEST_ARGS CMAKE_ARGS...
run_suite() {
  local dir=$1 ctest_args=$2; shift 2
  cmake -S . -B "$dir" -DTELVANE_WERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
  # shellcheck disable=SC2086
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" $ctest_args
}

run_suite build ""
bash scripts/fuzz.sh
# Tests labelled server_only exercise the simulated server alone: once is enough.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-sanitize "-LE server_only" -DTELVANE_SANITIZE=ON
