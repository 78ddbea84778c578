#!/usr/bin/env bash
# Times Pelgrin beside the tools users reach for without it, in one run on the same inputs:
#   - pelgrin-cli convert of an 839 x 649 picture with many colours, against ImageMagick's
#     remap of that picture to the same 255 colours without dithering;
#   - pelgrin-cli replace and append on a 50 MB archive, against cp of that archive;
#   - pelgrin-cli info and export-all on an archive of 10000 images, against cp of it and
#     against split cutting it into 10000 files;
#   - pelgrin-cli unpack of that archive against split, and pack of the unpacked folder
#     against unpack.
# Prints a Markdown table of mean times and ratios (baseline time / Pelgrin time: above 1
# Pelgrin is faster). Installs hyperfine and ImageMagick from Debian's packages if missing.
#   bench/peers.sh [RUNS]
# The inputs and outputs go to a new folder in $PELGRIN_BENCH_DIR (default: the system's
# temporary directory), so the same run can be made on another file system.
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
work="$(mktemp -d -p "${PELGRIN_BENCH_DIR:-${TMPDIR:-/tmp}}")"
trap 'rm -rf "$work"' EXIT
"$bin/make_peer_inputs" "$work"
cd "$work"
# ImageMagick 6 as Debian installs it, called by its own name so no other "convert" on the
# PATH stands in for it.
magick=/usr/bin/convert-im6.q16
[ -x "$magick" ] || magick="$(command -v magick)"

# Every run starts with nothing left to write back: otherwise the kernel writes the
# previous runs' files to the disk while the next command is timed, and whichever command
# comes later in the script pays for the ones before it.
measure() {  # measure NAME COMMAND [PREPARE]: mean seconds of COMMAND over the runs
  hyperfine --runs "$runs" --warmup 2 --style none --export-json "$1.json" \
    --prepare "${3:-true}; sync" "$2" >/dev/null
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
# The same two, each until its file is on the disk (sync FILE): what the rename over an
# existing file makes the file system start at once, cp leaves to the kernel's flusher.
t[cp_over_sync]=$(measure cp_over_sync "cp big.shp copy.shp && sync copy.shp")
t[replace_over_sync]=$(measure replace_over_sync "$bin/pelgrin-cli replace big.shp 1000 record.sdf --out out.shp && sync out.shp")
t[append]=$(measure append "$bin/pelgrin-cli append big.shp record.sdf --out out.shp" "rm -f out.shp")
t[append_over]=$(measure append_over "$bin/pelgrin-cli append big.shp record.sdf --out out.shp")
t[cp_many]=$(measure cp_many "cp many.shp copy-many.shp")
t[info]=$(measure info "$bin/pelgrin-cli info many.shp")
t[export_all]=$(measure export_all "rm -rf bmps && $bin/pelgrin-cli export-all many.shp bmps >/dev/null")
# Writing 10000 files with a plain file tool: split cuts the archive into 10000 pieces.
t[split_many]=$(measure split_many "rm -rf parts && mkdir parts && split -a 5 -d -n 10000 many.shp parts/p")
t[unpack]=$(measure unpack "rm -rf folder && $bin/pelgrin-cli unpack many.shp folder")
t[pack]=$(measure pack "$bin/pelgrin-cli pack folder packed.shp >/dev/null")
cmp many.shp packed.shp  # the round trip gives back the archive

row() {  # row WHAT BASELINE-NAME BASELINE-KEY KEY
  python3 -c "
import sys
what, base_name, base, cand = sys.argv[1], sys.argv[2], float(sys.argv[3]), float(sys.argv[4])
print(f'| {what} | {cand*1000:.1f} ms | {base_name} | {base*1000:.1f} ms | {base/cand:.2f} |')" \
    "$1" "$2" "${t[$3]}" "${t[$4]}"
}

echo "Machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(uname -sr); $runs runs each (mean)"
echo "File system of the inputs and outputs: $(findmnt -n -o FSTYPE,OPTIONS -T "$work")"
echo
echo "| Pelgrin | time | baseline | time | baseline / Pelgrin |"
echo "|---|---|---|---|---|"
row "convert 839 x 649, 473,933 colours" "ImageMagick remap" magick convert
row "replace in 50 MB archive, new output" "cp to a new file" cp_big replace
row "replace in 50 MB archive, over the last output" "cp over a file" cp_over replace_over
row "replace in 50 MB archive, over the last output" "cp, then mv over a file" cp_mv replace_over
row "replace over the last output, then sync" "cp over a file, then sync" cp_over_sync replace_over_sync
row "append to 50 MB archive, new output" "cp to a new file" cp_big append
row "append to 50 MB archive, over the last output" "cp over a file" cp_over append_over
row "append to 50 MB archive, over the last output" "cp, then mv over a file" cp_mv append_over
row "info of 10000 images" "cp of that archive" cp_many info
row "export-all of 10000 images" "split of that archive into 10000 files" split_many export_all
row "unpack of 10000 images" "split of that archive into 10000 files" split_many unpack
row "pack of those 10000 pictures" "unpack of that archive" unpack pack
