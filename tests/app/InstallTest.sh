#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop needs: both programs, the desktop
# entry (valid, opening files with kavex) and the icon in every size, each PNG of its folder's size.
#   InstallTest.sh <build-folder>
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
for program in kavex kavex-cli; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is missing"
done
entry=$prefix/share/applications/kavex.desktop
[ -f "$entry" ] || fail "share/applications/kavex.desktop is missing"
desktop-file-validate "$entry" || fail "the desktop entry is not valid"
grep -qx 'Exec=kavex %F' "$entry" || fail "the entry does not open files with kavex"
grep -qx 'Icon=kavex' "$entry" || fail "the entry does not name the icon"
grep -q '^Name\[ja\]=' "$entry" || fail "the entry has no Japanese name"
[ -f "$prefix/share/icons/hicolor/scalable/apps/kavex.svg" ] || fail "the scalable icon is missing"
for size in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/kavex.png
  [ -f "$icon" ] || fail "$icon is missing"
  # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$icon")
  width=$(( (w1 << 24) | (w2 << 16) | (w3 << 8) | w4 ))
  height=$(( (h1 << 24) | (h2 << 16) | (h3 << 8) | h4 ))
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "$icon is ${width}x${height}"
done
echo "installed and checked under $prefix"
