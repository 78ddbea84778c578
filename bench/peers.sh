#!/usr/bin/env bash
# Times Pelgrin beside the tools users reach for without it, in one run on the same inputs:
#   - pelgrin-cli convert of an 839 x 649 picture with many colours, against ImageMagick's
#     remap of that picture to the same 255 colours without dithering;
#   - pelgrin-cli replace and append on a 50 MB archive, against cp of that archive;
#   - pelgrin-cli info and export-all on an archive of 10000 images, against cp of it.
# Prints a Markdown table of mean times and ratios (baseline time / Pelgrin time: above 1
# Pelgrin is faster). Installs hyperfine and ImageMagick from Debian's packages if missing.
#   bench/peers.sh [RUNS]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-10}"
pelgrin_root="$root"
. "$root/scripts/deps.sh"
pelgrin_packages="$pelgrin_packages hyperfine imagemagick"
pelgrin_install_deps
pelgrin_build build-bench -DPELGRIN_BUILD_BENCH=ON -DPELGRIN_BUILD_UI=OFF \
  -DPELGRIN_BUILD_TESTS=OFF >/dev/null

bin="$root/build-bench/bin"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$bin/make_peer_inputs" "$work"
cd "$work"
# ImageMagick 6 as Debian installs it, called by its own name so no other "convert" on the
# PATH stands in for it.
magick=/usr/bin/convert-im6.q16
[ -x "$magick" ] || magick="$(command -v magick)"

measure() {  # measure NAME COMMAND [PREPARE]: mean seconds of COMMAND over the runs
  hyperfine --runs "$runs" --warmup 2 --style none --export-json "$1.json" \
    --prepare "${3:-true}" "$2" >/dev/null
  python3 -c "import json,sys; print(json.load(open(sys.argv[1]))['results'][0]['mean'])" "$1.json"
}

declare -A t
t[magick]=$(measure magick "$magick picture.bmp -dither None -remap palette.bmp magick.bmp")
t[convert]=$(measure convert "$bin/pelgrin-cli convert picture.bmp out.sdf --palette palette.pal")
# Rebuilds into a new file, and over an existing one (the usual case: Bignew.shp is
# there from the last edit). The safe way to replace a file, writing a new one and
# renaming it over the old, is timed with cp too (cp then mv).
t[cp_big]=$(measure cp_big "cp big.shp copy.shp" "rm -f copy.shp")
t[cp_over]=$(measure cp_over "cp big.shp copy.shp")
t[cp_mv]=$(measure cp_mv "cp big.shp copy.new && mv copy.new copy.shp")
t[replace]=$(measure replace "$bin/pelgrin-cli replace big.shp 1000 record.sdf --out out.shp" "rm -f out.shp")
t[replace_over]=$(measure replace_over "$bin/pelgrin-cli replace big.shp 1000 record.sdf --out out.shp")
t[append]=$(measure append "$bin/pelgrin-cli append big.shp record.sdf --out out.shp" "rm -f out.shp")
t[append_over]=$(measure append_over "$bin/pelgrin-cli append big.shp record.sdf --out out.shp")
t[cp_many]=$(measure cp_many "cp many.shp copy-many.shp")
t[info]=$(measure info "$bin/pelgrin-cli info many.shp")
t[export_all]=$(measure export_all "rm -rf bmps && $bin/pelgrin-cli export-all many.shp bmps >/dev/null")

row() {  # row WHAT BASELINE-NAME BASELINE-KEY KEY
  python3 -c "
import sys
what, base_name, base, cand = sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4])
print(f'| {what} | {cand*1000:.1f} ms | {base_name} | {base*1000:.1f} ms | {base/cand:.2f} |')" \
    "$1" "$2" "${t[$3]}" "${t[$4]}"
}

echo "Machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(uname -sr); $runs runs each (mean)"
echo
echo "| Pelgrin | time | baseline | time | baseline / Pelgrin |"
echo "|---|---|---|---|---|"
row "convert 839 x 649, 473,933 colours" "ImageMagick remap" magick convert
row "replace in 50 MB archive, new output" "cp to a new file" cp_big replace
row "replace in 50 MB archive, over the last output" "cp over a file" cp_over replace_over
row "replace in 50 MB archive, over the last output" "cp, then mv over a file" cp_mv replace_over
row "append to 50 MB archive, new output" "cp to a new file" cp_big append
row "append to 50 MB archive, over the last output" "cp over a file" cp_over append_over
row "append to 50 MB archive, over the last output" "cp, then mv over a file" cp_mv append_over
row "info of 10000 images" "cp of that archive" cp_many info
row "export-all of 10000 images" "cp of that archive" cp_many export_all
