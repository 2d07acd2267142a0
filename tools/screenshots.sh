#!/usr/bin/env bash
# Remakes the README's pictures of the six pages from the real window,
# headless: builds the tool (as the set-up script does), then grabs each page
# into docs/screenshots/.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLMOOR_BUILD_DIR:-$here/build}"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" --target page_screenshots
mkdir -p "$here/docs/screenshots"
QT_QPA_PLATFORM=offscreen "$build/tools/screenshots/page_screenshots" "$here/docs/screenshots"
