#!/usr/bin/env bash
# Cuts the Unicode test game's faces out of Debian's fonts (fonts-dejavu-core, fonts-droid-fallback, fonts-noto-core)
# down to the characters its script uses, so the repository holds kilobytes instead of megabytes. Run it again after
# changing the texts of tests/games/unicode/script.vls. Needs hb-subset (libharfbuzz-bin).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/tests/games/unicode/fonts"
mkdir -p "$out"

# The characters of the script are the list; hb-subset keeps the shaping tables and the glyphs they reach, so
# Arabic letters still join and Devanagari conjuncts still form. The Latin face keeps all of ASCII as well, and its
# missing-glyph box (hb-subset empties it unless told).
script="$here/tests/games/unicode/script.vls"
ascii=$(printf '%s' {A..Z} {a..z} {0..9} ' .,:;!?')
hb-subset --notdef-outline --text="$(cat "$script")$ascii" --output-file="$out/sans.ttf" \
    /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
hb-subset --text-file="$script" --output-file="$out/cjk.ttf" /usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf
hb-subset --text-file="$script" --output-file="$out/deva.ttf" \
    /usr/share/fonts/truetype/noto/NotoSansDevanagari-Regular.ttf
