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
source "$here/tools/start-simulator.sh"
require_loopback dialog-screenshots "$address"
site="${address%.*}.$(( ${address##*.} + 1 ))"

build_with_simulator bulk_enrol_dialog site_dialog
mkdir -p "$here/docs"
start_simulator "$address" --fail-every 4 face
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/bulk_enrol_dialog" "$here/docs/bulk-enrol.png" "$address"
stop_simulator
start_simulator "$site" --count 5
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/site_dialog" "$here/docs/site-dialog.png" "$site" 127.0.0.1
