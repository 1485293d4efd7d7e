#!/usr/bin/env bash
# Installs what is missing, builds telvanecli, starts the simulated CIM server
# with the sample inventory of a two-socket rack server on 127.0.0.1, and runs
# telvanecli against it. Arguments are passed on to telvanecli:
#   scripts/demo.sh                    # TEXT report on the console
#   scripts/demo.sh -f XML -o report.xml
#   scripts/demo.sh -t CPU,FAN
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

if [ "$(id -u)" = 0 ]; then
  bash scripts/setup.sh >/dev/null
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target telvanecli >/dev/null

state=$(mktemp -d)
stop_server() {
  python3 tools/simserver/harness.py stop --state-dir "$state" >/dev/null 2>&1 || true
  rm -rf "$state"
}
trap stop_server EXIT
port=$(python3 tools/simserver/harness.py start --state-dir "$state" --sample \
  --user admin --password demo --lifetime 600)

echo "+ telvanecli -s 127.0.0.1:$port -u admin -p demo $*" >&2
status=0
./build/cli/telvanecli -s "127.0.0.1:$port" -u admin -p demo "$@" || status=$?
exit "$status"
