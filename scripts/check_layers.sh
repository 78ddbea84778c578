#!/usr/bin/env bash
# Checks the include map of the source tree against its architecture: a toolkit-free core
# with two front-ends, the windows (src/ui) and the command line (src/cli), side by side on
# top of it.
#   - nothing outside src/ui includes a Qt header;
#   - nothing outside src/ui and src/cli includes a header of either front-end;
#   - the two front-ends do not include each other;
#   - no include climbs out of its folder with "..";
#   - the programs read no environment variable of their own (the toolkit's are its own):
#     what they do depends on their arguments, their files and the settings file alone.
# The core is src/ outside the two front-ends, and the programs built on the core alone:
# fuzz/, bench/ and samples/. Prints every offending line; exits 1 when there is one.
#   scripts/check_layers.sh [ROOT]
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

status=0
# violations DESCRIPTION PATTERN FILE...: reports the lines of the files that match.
violations() {
  local what="$1" pattern="$2"
  shift 2
  [ "$#" -eq 0 ] && return 0
  local found
  found=$(grep -HnE "$pattern" "$@" || true)
  if [ -n "$found" ]; then
    echo "$what:"
    echo "$found" | sed 's/^/  /'
    status=1
  fi
}

sources() {  # the C++ files under the given folders
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null | sort
}

qt='^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q'
ui='^[[:space:]]*#[[:space:]]*include[[:space:]]*"ui/'
cli='^[[:space:]]*#[[:space:]]*include[[:space:]]*"cli/'
climb='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"][^>"]*\.\./'
environment='(getenv|qgetenv|qEnvironmentVariable|QProcessEnvironment|[^_[:alnum:]]environ[^_[:alnum:]])'

mapfile -t core < <(sources src fuzz bench samples | grep -vE '^src/(ui|cli)/')
mapfile -t cli_files < <(sources src/cli)
mapfile -t ui_files < <(sources src/ui)

violations "Qt outside src/ui" "$qt" "${core[@]}" "${cli_files[@]}"
violations "The windows included by the core" "$ui" "${core[@]}"
violations "The command line included by the core" "$cli" "${core[@]}"
violations "The windows included by the command line" "$ui" "${cli_files[@]}"
violations "The command line included by the windows" "$cli" "${ui_files[@]}"
violations "An include that climbs out of its folder" "$climb" "${core[@]}" "${cli_files[@]}" \
  "${ui_files[@]}"
violations "An environment variable read by the programs" "$environment" "${core[@]}" \
  "${cli_files[@]}" "${ui_files[@]}"

if [ "$status" -eq 0 ]; then
  echo "Layers: ${#core[@]} core files, ${#cli_files[@]} command-line files and ${#ui_files[@]} window files include only what they may."
fi
exit "$status"
