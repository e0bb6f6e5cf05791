#!/usr/bin/env bash
# Regenerates every generated file of res/ and demo/. Each generator writes fixed output for
# fixed input (no clock, fixed random seeds), so a rerun on the same Debian packages changes
# nothing; git diff shows what a change to a generator did.
set -euo pipefail
cd "$(dirname "$0")"
python=/usr/bin/python3
export PYTHONDONTWRITEBYTECODE=1
"$python" make_fonts.py
"$python" make_stars.py
"$python" make_sounds.py
"$python" make_toolbar.py
"$python" make_demo.py
"$python" make_xpm_colors.py
