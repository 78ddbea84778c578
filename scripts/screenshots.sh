#!/usr/bin/env bash
# Takes the pictures of the editor in docs/: pelgrin-screenshots (a program of the test
# tree built from the same windows; the editor itself has no such switch) starts the
# windows under a virtual X server on fresh demo data, once per picture, and saves each
# window beside the main window. A picture replaces the one in docs/ only when its bytes
# differ, so a run after no change to the windows changes no file. Run it again after a
# change to the windows.
set -euo pipefail
pelgrin_root="$(cd "$(dirname "$0")/.." && pwd)"
. "$pelgrin_root/scripts/deps.sh"
pelgrin_install_deps
PELGRIN_TARGETS="pelgrin-screenshots pelgrin-make-demo" pelgrin_build build
bin="$pelgrin_root/build/bin"
docs="$pelgrin_root/docs"
mkdir -p "$docs"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# A fresh copy of the demo data, so earlier edits do not show.
"$bin/pelgrin-make-demo" "$work/data"
xvfb-run -a -s "-screen 0 1600x1024x24" "$bin/pelgrin-screenshots" "$work/data" "$work/pictures"
for picture in "$work/pictures"/*.png; do
  name="$(basename "$picture")"
  if cmp -s "$picture" "$docs/$name"; then
    echo "Unchanged docs/$name"
  else
    cp "$picture" "$docs/$name"
    echo "Wrote docs/$name"
  fi
done
