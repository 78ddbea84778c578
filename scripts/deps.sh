# Installs the Debian packages Pelgrin needs, when any is missing. Sourced by the
# other scripts; safe to run again.
pelgrin_packages="build-essential cmake pkg-config qt6-base-dev libcli11-dev libgtest-dev \
libjpeg-dev libpng-dev nlohmann-json3-dev libxxhash-dev libbenchmark-dev clang xvfb xauth desktop-file-utils"

pelgrin_install_deps() {
  local missing=""
  for p in $pelgrin_packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
}

# pelgrin_build DIR [cmake options...]: configures (once) and builds into DIR; only the
# targets named in PELGRIN_TARGETS when it is set, everything otherwise.
pelgrin_build() {
  local dir="$1"; shift
  cmake -S "$pelgrin_root" -B "$pelgrin_root/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  # shellcheck disable=SC2086 # the target names are separate words
  cmake --build "$pelgrin_root/$dir" -j "$(nproc)" ${PELGRIN_TARGETS:+--target $PELGRIN_TARGETS}
}
