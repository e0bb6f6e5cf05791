#!/bin/sh
# Makes the XWD fixtures: dumps by the X11 xwd program of an Xvfb screen showing a colourful
# picture (through ImageMagick's display), at every depth Xvfb offers (8-bit pseudo colour, 15, 16,
# 24 and 30 bits; xwd writes them least significant byte first), one dump of a 16-bit screen with a
# 24-bit window on it (xwd then writes 24 bits per pixel), ImageMagick's own XWD files (most
# significant byte first: 24-bit direct colour, an 8-bit palette), and ImageMagick's decoding of each
# as ref/<name>.rgb. Needs imagemagick, xvfb and xdotool (x11-apps for xwd). Run from anywhere.
set -e
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p ref

convert-im6.q16 -size 33x21 xc: -sparse-color bilinear '0,0 red 32,0 lime 0,20 blue 32,20 yellow' \
  -fill white -draw 'rectangle 3,3 8,8' -fill black -draw 'rectangle 20,10 26,14' "$work/pattern.png"

# dump DEPTH VISUAL OUTPUT
dump() {
  display=$((140 + $1))
  Xvfb ":$display" -screen 0 40x28x$1 -nolisten tcp >/dev/null 2>&1 &
  server=$!
  sleep 1
  DISPLAY=":$display" display-im6.q16 -visual "$2" -geometry +0+0 "$work/pattern.png" &
  viewer=$!
  DISPLAY=":$display" timeout 10 xdotool search --sync --onlyvisible --classname display >/dev/null || true
  sleep 1
  DISPLAY=":$display" xwd -root -silent > "$3"
  kill "$viewer" "$server" 2>/dev/null || true
  wait "$viewer" "$server" 2>/dev/null || true
}
for depth in 8 15 16 24 30; do
  dump "$depth" default "xvfb-d$depth.xwd"
done
dump 16 DirectColor xvfb-mixed.xwd

convert-im6.q16 "$work/pattern.png" im-rgb.xwd
# A palette of exact 8-bit colours, so that the colour map holds the usual replicated samples.
convert-im6.q16 "$work/pattern.png" +dither -remap netscape: im-pal8.xwd
convert-im6.q16 "$work/pattern.png" -colorspace gray -colors 4 im-grey.xwd

for f in *.xwd; do
  convert-im6.q16 "$f" -depth 8 "rgb:ref/${f%.xwd}.rgb"
done
