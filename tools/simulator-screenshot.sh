#!/usr/bin/env bash
# Remakes the README's picture of the tool connected to the terminal simulator:
# builds both, starts quillmoor-terminal on a loopback address, then runs the
# real window under Xvfb (xcb), connects, reads the serial number and grabs it
# into docs/simulator-session.png.
#
# Usage: tools/simulator-screenshot.sh [LOOPBACK_ADDRESS, default 127.0.0.2]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLMOOR_BUILD_DIR:-$here/build}"
address="${1:-127.0.0.2}"
case "$address" in
127.*) ;;
*) echo "simulator-screenshot: $address is no loopback address" >&2; exit 2 ;;
esac

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" --target quillmoor-terminal simulator_session

log="$(mktemp)"
"$build/src/terminal/quillmoor-terminal" --address "$address" --records 5 </dev/null >"$log" 2>&1 &
simulator=$!
trap 'kill -INT "$simulator" 2>/dev/null; wait "$simulator" 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 100); do
    grep -q "type help" "$log" && break
    kill -0 "$simulator" 2>/dev/null || { cat "$log" >&2; exit 1; }
    sleep 0.1
done
grep -q "type help" "$log" || { echo "simulator-screenshot: the simulator did not start" >&2; exit 1; }

mkdir -p "$here/docs"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24" \
    "$build/tools/screenshots/simulator_session" "$here/docs/simulator-session.png" "$address"
