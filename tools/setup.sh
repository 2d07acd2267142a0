#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, builds, then opens the window
# ("run"), runs the whole test suite headless ("test"), builds the Debian
# package ("package"), or builds the fuzz targets with clang and runs each for
# SECONDS, 60 by default ("fuzz [SECONDS]").
set -euo pipefail

mode="${1:-run}"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${QUILLMOOR_BUILD_DIR:-$here/build}"

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libboost-dev libcurl4-openssl-dev nlohmann-json3-dev libgtest-dev libcsv-dev
  python3-pyftpdlib fonts-wqy-microhei xvfb xauth wrk dpkg-dev curl
)

# Only the fuzz targets need clang and its libFuzzer runtime.
[ "$mode" = fuzz ] && packages+=(clang libclang-rt-14-dev)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "$mode" = fuzz ]; then
  exec "$here/tools/fuzz.sh" "${2:-60}"
fi

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}"
cmake --build "$build"

case "$mode" in
  run)
    exec "$build/src/quillmoor"
    ;;
  test)
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    ;;
  package)
    cd "$build"
    cpack -G DEB -B "$build/package"
    echo "install it with: sudo apt-get install $(ls "$build"/package/quillmoor_*.deb)"
    ;;
  *)
    echo "usage: tools/setup.sh [run|test|package|fuzz [SECONDS]]" >&2
    exit 2
    ;;
esac
