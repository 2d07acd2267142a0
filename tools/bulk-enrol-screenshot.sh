#!/usr/bin/env bash
# Remakes the README's picture of the bulk enrolment dialog after a run with
# failures: builds the tool and the simulator, starts quillmoor-terminal on a
# loopback address refusing every fourth face, then imports a sample sheet in
# the real window, headless, and grabs the dialog into docs/bulk-enrol.png.
#
# Usage: tools/bulk-enrol-screenshot.sh [LOOPBACK_ADDRESS, default 127.0.0.2]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLMOOR_BUILD_DIR:-$here/build}"
address="${1:-127.0.0.2}"
case "$address" in
127.*) ;;
*) echo "bulk-enrol-screenshot: $address is no loopback address" >&2; exit 2 ;;
esac

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" --target quillmoor-terminal bulk_enrol_dialog

source "$here/tools/start-simulator.sh"
start_simulator "$address" --fail-every 4 face

mkdir -p "$here/docs"
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/bulk_enrol_dialog" "$here/docs/bulk-enrol.png" "$address"
