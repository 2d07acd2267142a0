#!/usr/bin/env bash
# Remakes the README's pictures of the traffic panel: builds the tool and the
# simulator, starts quillmoor-terminal on a loopback address, then runs the
# real window under Xvfb (xcb) with its server on another loopback address, and
# grabs the panel with a device command and with a server request selected
# into docs/traffic-panel-device.png and docs/traffic-panel-server.png. On a
# screen other than the default 1800x1000 the names end in the screen's size,
# as docs/traffic-panel-device-1280x800.png.
#
# Usage: tools/traffic-screenshot.sh [SIMULATOR_ADDRESS [SERVER_ADDRESS [SCREEN]]]
#        (defaults 127.0.0.2, 127.0.0.1 and 1800x1000)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLMOOR_BUILD_DIR:-$here/build}"
simulator_address="${1:-127.0.0.2}"
server_address="${2:-127.0.0.1}"
screen="${3:-1800x1000}"
case "$screen" in
[0-9]*x[0-9]*) ;;
*) echo "traffic-screenshot: $screen is no screen size such as 1280x800" >&2; exit 2 ;;
esac
suffix=""
[ "$screen" = 1800x1000 ] || suffix="-$screen"
source "$here/tools/start-simulator.sh"
for address in "$simulator_address" "$server_address"; do
    require_loopback traffic-screenshot "$address"
done

build_with_simulator traffic_panel
start_simulator "$simulator_address"

mkdir -p "$here/docs"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 ${screen}x24" \
    "$build/tools/screenshots/traffic_panel" "$here/docs" "$simulator_address" "$server_address" "$suffix"
