#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop needs of it.
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
fail() { echo "FAIL: $*"; exit 1; }
for f in quizmora quizmora-img quizmora-puzzles; do [ -x "$prefix/bin/$f" ] || fail "$f is not in bin/"; done
entry=$prefix/share/applications/quizmora.desktop
for line in 'Type=Application' 'Name=Quizmora' 'Exec=quizmora %f' 'Icon=quizmora' 'Categories=Game;' \
            'Comment[de]=Quiz-Show mit Bilderrätseln für zwei Spieler, mit Buzzern und Fernbedienung'; do
  grep -qxF "$line" "$entry" || fail "desktop entry lacks: $line"
done
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry" || fail "desktop entry invalid"; fi
for size in 16 24 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${size}x${size}/apps/quizmora.png
  [ "$(identify-im6.q16 -format %m%wx%h "$icon")" = "PNG${size}x${size}" ] || fail "no $size icon"
done
grep -q 'share/quizmora/demo' "$prefix/share/doc/quizmora/README.md" || fail "no README that says where the demo is"
# The installed tool reads every installed demo puzzle.
count=$(ls -d "$prefix"/share/quizmora/demo/Game[0-9][0-9][0-9] | wc -l)
[ "$count" -eq "$(ls -d "$(dirname "$0")"/../../demo/Game[0-9][0-9][0-9] | wc -l)" ] || fail "demo puzzles missing"
listed=$("$prefix/bin/quizmora-puzzles" list "$prefix/share/quizmora/demo" | grep -c . || true)
[ "$listed" -ge "$count" ] || fail "quizmora-puzzles lists $listed lines for $count puzzles"
