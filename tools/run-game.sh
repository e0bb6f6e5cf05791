#!/usr/bin/env bash
# Starts the game of a build on the bundled demo puzzles.
set -euo pipefail
build=${1:-build/release}
game="$build/bin/quizmora"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Kein Bildschirm gefunden (DISPLAY ist leer): starte das Spiel mit 'xvfb-run -a make run' oder an einem Desktop."
  exit 1
fi
exec "$game" "$(pwd)/demo"
