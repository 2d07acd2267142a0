#!/usr/bin/env bash
# Builds the Debian package from a finished build folder and checks what an
# installer relies on: its control fields and the files it installs.
# usage: tools/check-package.sh BUILD_DIR VERSION
set -euo pipefail

build="$1"
version="$2"
out="$build/package"
rm -rf "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb="$(ls "$out"/quillmoor_*.deb)"

failed=0
fail() { echo "FAIL: $*"; failed=1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = quillmoor ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', expected $version"
depends="$(field Depends)"
# libcurl is not linked but loaded by the photo fetch.
expected=(libc6 libqt6core6 libqt6gui6 libqt6widgets6 fonts-wqy-microhei qt6-qpa-plugins libcurl4)
# The simulator, when built, comes along with the FTP server it starts.
simulator="$build/src/terminal/quillmoor-terminal"
[ -x "$simulator" ] && expected+=(python3-pyftpdlib)
for dep in "${expected[@]}"; do
  grep -qE "(^|, )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

files="$(dpkg-deb -c "$deb" | awk '{print $6}')"
for path in ./usr/bin/quillmoor ./usr/share/applications/quillmoor.desktop \
            ./usr/share/icons/hicolor/48x48/apps/quillmoor.png \
            ./usr/share/icons/hicolor/256x256/apps/quillmoor.png \
            ./usr/bin/quillmoor-cli ./usr/share/man/man1/quillmoor-cli.1.gz \
            ./usr/share/bash-completion/completions/quillmoor-cli; do
  grep -qx "$path" <<<"$files" || fail "missing $path"
done
if [ -x "$simulator" ]; then
  grep -qx ./usr/bin/quillmoor-terminal <<<"$files" || fail "missing ./usr/bin/quillmoor-terminal"
fi

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop="$unpacked/usr/share/applications/quillmoor.desktop"
for line in 'Exec=quillmoor' 'Icon=quillmoor' 'Name[zh_CN]=局域网版人脸机调试工具'; do
  grep -qxF "$line" "$desktop" || fail "desktop entry lacks $line"
done
grep -qE '^Categories=.*(Development|Network);' "$desktop" || fail "desktop entry has no Development or Network category"
for size in 48 256; do
  png="$unpacked/usr/share/icons/hicolor/${size}x${size}/apps/quillmoor.png"
  # Width and height are the two big-endian words after the PNG signature and IHDR header.
  dims="$(od -An -j16 -N8 -tu1 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')"
  [ "$dims" = "${size}x${size}" ] || fail "icon $size is $dims"
done

# The command-line program runs without a display and without Qt Widgets.
cli="$unpacked/usr/bin/quillmoor-cli"
"$cli" --help | grep -q '^  serial ' || fail "quillmoor-cli --help lists no subcommands"
readelf -d "$cli" | grep libQt6Widgets >/dev/null && fail "quillmoor-cli links Qt Widgets"
if command -v man >/dev/null; then
  man -l "$unpacked/usr/share/man/man1/quillmoor-cli.1.gz" 2>&1 >/dev/null | grep . && fail "the man page has warnings"
fi
bash -n "$unpacked/usr/share/bash-completion/completions/quillmoor-cli" || fail "the bash completion does not parse"

[ "$failed" -eq 0 ] && echo "package $deb: control fields and files as expected"
exit "$failed"
