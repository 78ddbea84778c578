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

# The runs are taken in ROUNDS rounds (PELGRIN_BENCH_ROUNDS, default 5), each round
# running every command a share of the runs in a new random order, so that a burst of
# load on a shared machine falls on all of them alike rather than on one command's block.
rounds="${PELGRIN_BENCH_ROUNDS:-5}"
per_round=$(( (runs + rounds - 1) / rounds ))
declare -A commands=(
  [one-colour]="$bin/pelgrin-cli convert one-colour.bmp one-colour.out --palette palette.pal"
  [distinct]="$bin/pelgrin-cli convert distinct.bmp distinct.out --palette palette.pal"
  [shaded]="$bin/pelgrin-cli convert shaded.bmp shaded.out --palette palette.pal"
  [colours64]="$bin/pelgrin-cli convert colours64.bmp colours64.out --palette palette.pal"
  [linear]="$bin/linear_convert distinct.bmp linear.out"
)
# Each run starts with its output removed and nothing left to write back.
for round in $(seq "$rounds"); do
  for name in $(printf '%s\n' "${!commands[@]}" | shuf); do
    hyperfine --runs "$per_round" --warmup 2 --style none \
      --export-json "$name.$round.json" --prepare "rm -f $name.out; sync" \
      "${commands[$name]}" >/dev/null
  done
done

# summary NAME: "least-wall median-wall cpu" seconds over all rounds' runs.
summary() {
  python3 -c "
import glob, json, statistics, sys
walls, cpu = [], []
for path in glob.glob(sys.argv[1] + '.*.json'):
    r = json.load(open(path))['results'][0]
    walls += r['times']
    cpu += [r['user'] + r['system']] * len(r['times'])  # the round's mean, per run
print(min(walls), statistics.median(walls), statistics.mean(cpu))" "$1"
}

declare -A t
for name in "${!commands[@]}"; do
  t[$name]=$(summary "$name")
done

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

echo "Machine: $(nproc) CPUs, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(uname -sr); $(( rounds * per_round )) runs each in $rounds rounds; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| process | wall, least | wall, median | CPU, mean | baseline | least / baseline | median / baseline | CPU / baseline |"
echo "|---|---|---|---|---|---|---|---|"
floor="one colour (the floor)"
row "convert, 544,511 colours" distinct "$floor" one-colour
row "convert, shaded, 22,677 colours" shaded "$floor" one-colour
row "convert, 64 colours" colours64 "$floor" one-colour
row "convert, one colour (the floor)" one-colour "plain linear converter, 544,511 colours" linear
