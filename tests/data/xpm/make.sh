#!/usr/bin/env bash
# Makes the XPM files that ImageMagick writes, from PngSuite pictures (see ../pngsuite) and
# ImageMagick's built-in rose. pstree16.xpm and pstree32.xpm are Debian's psmisc icons
# (/usr/share/pixmaps, GPL-2+, see pstree-copyright.txt), copied as they are.
set -euo pipefail
cd "$(dirname "$0")"
im=convert-im6.q16
suite=../pngsuite
$im "$suite/basn2c08.png" im-rgb.xpm        # 125 colours, 2 characters per pixel
$im "$suite/basn6a08.png" im-alpha.xpm      # "None" where the picture is transparent
$im "$suite/basn3p04.png" im-palette.xpm    # 15 colours, some by name
$im "$suite/basn0g08.png" im-gray.xpm       # 256 greys
$im "$suite/basn0g01.png" im-bilevel.xpm    # black and white
$im rose: im-rose.xpm                       # a photo reduced to 252 colours
