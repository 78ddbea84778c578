#!/usr/bin/env bash
# Installs what is missing, builds Pelgrin from scratch if needed, and runs every test.
set -euo pipefail
pelgrin_root="$(cd "$(dirname "$0")/.." && pwd)"
. "$pelgrin_root/scripts/deps.sh"
pelgrin_install_deps
pelgrin_build build
cd "$pelgrin_root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
