#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Quizmora need.
# Only packages that are missing are installed; a machine that has them all is left alone.
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config ccache clang libclang-rt-14-dev
  # libraries
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev libsdl2-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev
  libfontconfig-dev
  # modern picture formats and the TIFF layouts our own reader leaves to libtiff
  libwebp-dev libavif-dev libheif-dev libtiff-dev
  # phone buzzers: the embedded page and its socket, the join code
  qt6-httpserver-dev qt6-websockets-dev libqrencode-dev
  # fonts: Liberation Mono stands in for Courier New, DejaVu is the source of the question fonts
  fonts-liberation2 fonts-dejavu-core
  # tests, benchmarks and screenshots
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth x11-apps xdotool
  # two monitors on one virtual screen for the presenter's check by hand
  x11-xserver-utils
  # pictures written by other programs for the codec tests
  imagemagick netpbm libtiff-tools giflib-tools gifsicle libjpeg-turbo-progs icoutils ghostscript
  python3-pil x11-common webp libavif-bin libheif-examples zbar-tools
  # the buzzer page in a real browser
  chromium chromium-driver python3-selenium
  # install packaging
  dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
