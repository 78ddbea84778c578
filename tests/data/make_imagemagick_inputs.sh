#!/usr/bin/env bash
# Makes the pictures in tests/data/pictures/ with ImageMagick's convert (Debian package
# imagemagick), as a paint program's user would save them. Run once from the repository's
# root; the files are committed, so the tests need no ImageMagick.
#   tests/data/make_imagemagick_inputs.sh
# The picture is 7 x 5 pixels; pixel (x, y) has colour k = (x + 3y) mod 20, that is red
# 10k, green 255 - 12k, blue 37k mod 256. In the pictures with alpha, pixel (0, 0) is fully
# transparent. tests/picture/picture_file_test.cpp reads them.
set -euo pipefail
convert="${CONVERT:-convert}"
out="$(cd "$(dirname "$0")" && pwd)/pictures"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

{
  printf 'P7\nWIDTH 7\nHEIGHT 5\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n'
  for y in 0 1 2 3 4; do
    for x in 0 1 2 3 4 5 6; do
      k=$(((x + 3 * y) % 20))
      r=$((10 * k)) g=$((255 - 12 * k)) b=$((37 * k % 256))
      a=255
      [ "$x$y" = "00" ] && a=0
      printf "\\$(printf %o "$r")\\$(printf %o "$g")\\$(printf %o "$b")\\$(printf %o "$a")"
    done
  done
} >"$work/alpha.pam"
"$convert" "$work/alpha.pam" -alpha off "$work/opaque.ppm"

"$convert" "$work/opaque.ppm" PNG8:"$out/im_indexed.png"
"$convert" "$work/opaque.ppm" -type Palette -compress RLE BMP3:"$out/im_rle8.bmp"
"$convert" "$work/opaque.ppm" -type Palette -compress none BMP3:"$out/im_8bit.bmp"
"$convert" "$work/alpha.pam" -define bmp:format=bmp4 BMP:"$out/im_32bit_alpha.bmp"
"$convert" "$work/alpha.pam" PNG64:"$out/im_rgba16.png"
