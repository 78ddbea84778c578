#!/usr/bin/env bash
# Installs what is missing, builds Pelgrin, and starts the editor on the bundled demo archive.
set -euo pipefail
pelgrin_root="$(cd "$(dirname "$0")/.." && pwd)"
. "$pelgrin_root/scripts/deps.sh"
pelgrin_install_deps
# The programs and the demo data only; scripts/test.sh builds the tests.
PELGRIN_TARGETS="pelgrin pelgrin-cli pelgrin-demo-data" pelgrin_build build
bin="$pelgrin_root/build/bin"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<EOF_HELP
Pelgrin is built, but there is no display to show its windows on
(neither DISPLAY nor WAYLAND_DISPLAY is set). You can:
  - run the editor under a virtual X server:
      xvfb-run -a build/bin/pelgrin build/bin/demo/demo.shp
    (scripts/screenshots.sh does that and saves a picture of it in docs/);
  - or use the command line, which needs no display:
      build/bin/pelgrin-cli info build/bin/demo/demo.shp
      build/bin/pelgrin-cli export build/bin/demo/demo.shp 14 image14.bmp
EOF_HELP
  exit 1
fi
exec "$bin/pelgrin" "$bin/demo/demo.shp"
