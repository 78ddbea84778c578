#!/usr/bin/env bash
# Installs what is missing, builds Pelgrin, and shows the bundled demo archive.
set -euo pipefail
pelgrin_root="$(cd "$(dirname "$0")/.." && pwd)"
. "$pelgrin_root/scripts/deps.sh"
pelgrin_install_deps
pelgrin_build build
bin="$pelgrin_root/build/bin"
"$bin/pelgrin-cli" info "$bin/demo/demo.shp"
"$bin/pelgrin-cli" export "$bin/demo/demo.shp" 1 "$bin/demo/image1.bmp"
echo "Image 1 of the demo archive is now in $bin/demo/image1.bmp"
