#!/usr/bin/env bash
# Remakes the README's pictures of the dialogs, headless, in the real window
# against quillmoor-terminal on loopback addresses:
# - docs/bulk-enrol.png: a sample sheet imported by a terminal that refuses
#   every fourth face;
# - docs/site-dialog.png: a site of five terminals from the next address on,
#   one listed with a wrong password and one address where nothing answers,
#   checked, with their heartbeats coming to the window's server.
#
# Usage: tools/dialog-screenshots.sh [LOOPBACK_ADDRESS, default 127.0.0.2]
#        (the site uses the five addresses after it, the server 127.0.0.1)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLMOOR_BUILD_DIR:-$here/build}"
address="${1:-127.0.0.2}"
case "$address" in
127.*) ;;
*) echo "dialog-screenshots: $address is no loopback address" >&2; exit 2 ;;
esac
site="${address%.*}.$(( ${address##*.} + 1 ))"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" --target quillmoor-terminal bulk_enrol_dialog site_dialog

source "$here/tools/start-simulator.sh"
mkdir -p "$here/docs"
start_simulator "$address" --fail-every 4 face
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/bulk_enrol_dialog" "$here/docs/bulk-enrol.png" "$address"
stop_simulator
start_simulator "$site" --count 5
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/site_dialog" "$here/docs/site-dialog.png" "$site" 127.0.0.1
