#!/usr/bin/env bash
# Collection benchmark: builds telvanecli (Release, no sanitizers) and the floor
# programs in their own build directory, then runs bench/run.py. Arguments are
# passed on (--scales 1,10,100 --runs 3 --csv PATH).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${TELVANE_BENCH_BUILD_DIR:-$root/build-bench}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTELVANE_SANITIZE=OFF >/dev/null
cmake --build "$build" -j2 --target telvanecli expat_floor transfer_floor child_cost >/dev/null
exec python3 "$root/bench/run.py" --build-dir "$build" "$@"
