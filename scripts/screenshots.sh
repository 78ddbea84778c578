#!/usr/bin/env bash
# Takes the README's picture of the editor: starts it under a virtual X server on the demo
# archive, shows one image and saves the main window beside the Shp Image window as
# docs/screenshot.png. The program takes the picture itself (a hidden switch,
# PELGRIN_SCREENSHOT), so no screen-capture tool is needed.
set -euo pipefail
pelgrin_root="$(cd "$(dirname "$0")/.." && pwd)"
. "$pelgrin_root/scripts/deps.sh"
pelgrin_install_deps
pelgrin_build build
bin="$pelgrin_root/build/bin"
mkdir -p "$pelgrin_root/docs"
out="$pelgrin_root/docs/screenshot.png"
rm -f "$out"
PELGRIN_SCREENSHOT="$out" PELGRIN_SCREENSHOT_IMAGE="${PELGRIN_SCREENSHOT_IMAGE:-12}" \
  xvfb-run -a -s "-screen 0 1280x1024x24" "$bin/pelgrin" "$bin/demo/demo.shp"
[ -f "$out" ] || { echo "No screenshot was written." >&2; exit 1; }
echo "Wrote $out"
