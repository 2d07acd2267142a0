#!/usr/bin/env bash
# Remakes the README's pictures of the traffic panel: builds the tool and the
# simulator, starts quillmoor-terminal on a loopback address, then runs the
# real window under Xvfb (xcb) with its server on another loopback address, and
# grabs the panel with a device command and with a server request selected
# into docs/traffic-panel-device.png and docs/traffic-panel-server.png.
#
# Usage: tools/traffic-screenshot.sh [SIMULATOR_ADDRESS [SERVER_ADDRESS]]
#        (defaults 127.0.0.2 and 127.0.0.1)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLMOOR_BUILD_DIR:-$here/build}"
simulator_address="${1:-127.0.0.2}"
server_address="${2:-127.0.0.1}"
for address in "$simulator_address" "$server_address"; do
    case "$address" in
    127.*) ;;
    *) echo "traffic-screenshot: $address is no loopback address" >&2; exit 2 ;;
    esac
done

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" --target quillmoor-terminal traffic_panel

source "$here/tools/start-simulator.sh"
start_simulator "$simulator_address"

mkdir -p "$here/docs"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1800x1000x24" \
    "$build/tools/screenshots/traffic_panel" "$here/docs" "$simulator_address" "$server_address"
