#!/usr/bin/env bash
# Times whole pelgrin-cli convert processes on 839 x 649 pictures against the floor, the
# same command on a picture of one colour (it reads, encodes and writes as much as any
# other picture and searches for one colour), in one run:
#   - a picture where every pixel is a colour of its own (544,511 colours);
#   - a shaded sprite of 22,677 colours on the background colour;
#   - 64 colours changing from one pixel to the next;
# and the floor against a plain converter that searches every palette entry for every
# pixel of the first picture (bench/linear_convert.cpp).
# Prints a Markdown table of wall times (least and median of the runs), CPU times (user +
# system, mean) and their ratios (time / floor time: below 1 means faster than the floor).
# On a machine other programs keep busy the least time is the steadiest. Installs
# hyperfine from Debian's packages if missing.
#   bench/convert_floor.sh [RUNS]
# PELGRIN_BENCH_BIN names a folder holding pelgrin-cli, linear_convert and
# make_peer_inputs already built; otherwise build-bench/ is built. The inputs and outputs
# go to a new folder in $PELGRIN_BENCH_DIR (default: the system's temporary directory).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs="${1:-30}"
pelgrin_root="$root"
. "$root/scripts/deps.sh"
pelgrin_packages="hyperfine"
pelgrin_install_deps
bin="${PELGRIN_BENCH_BIN:-}"
if [ -z "$bin" ]; then
  PELGRIN_TARGETS="pelgrin-cli linear_convert make_peer_inputs" pelgrin_build build-bench \
    -DPELGRIN_BUILD_BENCH=ON -DPELGRIN_BUILD_UI=OFF -DPELGRIN_BUILD_TESTS=OFF >/dev/null
  bin="$root/build-bench/bin"
fi

work="$(mktemp -d -p "${PELGRIN_BENCH_DIR:-${TMPDIR:-/tmp}}")"
trap 'rm -rf "$work"' EXIT
"$bin/make_peer_inputs" "$work"
cd "$work"

# measure NAME COMMAND: "least-wall median-wall cpu" seconds of COMMAND over the runs; each
# run starts with its output removed and nothing left to write back.
measure() {
  hyperfine --runs "$runs" --warmup 3 --style none --export-json "$1.json" \
    --prepare "rm -f $1.out; sync" "$2" >/dev/null
  python3 -c "
import json, sys
r = json.load(open(sys.argv[1]))['results'][0]
print(r['min'], r['median'], r['user'] + r['system'])" "$1.json"
}

declare -A t
for name in one-colour distinct shaded colours64; do
  t[$name]=$(measure "$name" "$bin/pelgrin-cli convert $name.bmp $name.out --palette palette.pal")
done
t[linear]=$(measure linear "$bin/linear_convert distinct.bmp linear.out")

row() {  # row WHAT KEY BASELINE-NAME BASELINE-KEY
  python3 -c "
import sys
what, base_name = sys.argv[1], sys.argv[3]
t = list(map(float, sys.argv[2].split()))
b = list(map(float, sys.argv[4].split()))
ms = ' | '.join(f'{v*1000:.1f} ms' for v in t)
ratios = ' | '.join(f'{v/w:.2f}' for v, w in zip(t, b))
print(f'| {what} | {ms} | {base_name} | {ratios} |')" "$1" "${t[$2]}" "$3" "${t[$4]}"
}

echo "Machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(uname -sr); $runs runs each; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| process | wall, least | wall, median | CPU, mean | baseline | least / baseline | median / baseline | CPU / baseline |"
echo "|---|---|---|---|---|---|---|---|"
floor="one colour (the floor)"
row "convert, 544,511 colours" distinct "$floor" one-colour
row "convert, shaded, 22,677 colours" shaded "$floor" one-colour
row "convert, 64 colours" colours64 "$floor" one-colour
row "convert, one colour (the floor)" one-colour "plain linear converter, 544,511 colours" linear
