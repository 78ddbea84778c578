#!/usr/bin/env bash
# Takes the pictures of the editor in docs/: starts it under a virtual X server on the demo
# archive once per window and saves each window beside the main window. The program takes
# the picture itself (a hidden switch, PELGRIN_SCREENSHOT), so no screen-capture tool is
# needed. Run it again after a change to the windows.
set -euo pipefail
pelgrin_root="$(cd "$(dirname "$0")/.." && pwd)"
. "$pelgrin_root/scripts/deps.sh"
pelgrin_install_deps
pelgrin_build build
bin="$pelgrin_root/build/bin"
docs="$pelgrin_root/docs"
mkdir -p "$docs"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# A fresh copy of the demo data, so earlier edits do not show.
"$bin/pelgrin-make-demo" "$work/data"
"$bin/pelgrin-cli" export "$work/data/demo/demo.shp" 3 "$work/three.bmp" >/dev/null

# shot NAME IMAGE [VARIABLE=VALUE...]: docs/NAME.png of the demo archive at image IMAGE.
shot() {
  local name="$1" image="$2"
  shift 2
  local out="$docs/$name.png"
  rm -f "$out"
  env PELGRIN_SCREENSHOT="$out" PELGRIN_SCREENSHOT_IMAGE="$image" "$@" \
    xvfb-run -a -s "-screen 0 1600x1024x24" "$bin/pelgrin" "$work/data/demo/demo.shp" 2>/dev/null
  [ -f "$out" ] || { echo "No picture was written for $name." >&2; exit 1; }
  echo "Wrote $out"
}

shot screenshot 12
shot screenshot-bmp 3 PELGRIN_SCREENSHOT_BMP="$work/three.bmp"
shot screenshot-collage 1 PELGRIN_SCREENSHOT_WINDOW=collage
shot screenshot-palette 1 PELGRIN_SCREENSHOT_WINDOW=palette
shot screenshot-kvfix 9 PELGRIN_SCREENSHOT_WINDOW=kvfix
shot screenshot-transfer 1 PELGRIN_SCREENSHOT_WINDOW=transfer
shot screenshot-help 1 PELGRIN_SCREENSHOT_WINDOW=help
