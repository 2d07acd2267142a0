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
source "$here/tools/start-simulator.sh"
require_loopback simulator-screenshot "$address"

build_with_simulator simulator_session
start_simulator "$address" --records 5

mkdir -p "$here/docs"
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24" \
    "$build/tools/screenshots/simulator_session" "$here/docs/simulator-session.png" "$address"
