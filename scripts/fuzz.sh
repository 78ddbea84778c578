#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60) on a copy
# of its seed corpus in fuzz/corpus/<target>/. Any crash, leak, sanitizer finding or
# timeout fails the script; the input that caused it is saved under build-fuzz/findings/.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
pelgrin_root="$(cd "$(dirname "$0")/.." && pwd)"
. "$pelgrin_root/scripts/deps.sh"
pelgrin_install_deps
seconds="${1:-60}"
shift || true
CC=clang CXX=clang++ pelgrin_build build-fuzz -DPELGRIN_BUILD_FUZZ=ON -DPELGRIN_BUILD_UI=OFF \
  -DPELGRIN_BUILD_TESTS=OFF >/dev/null

fuzz_dir="$pelgrin_root/build-fuzz/fuzz"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(cd "$fuzz_dir" && ls fuzz_* | sort)
fi
findings="$pelgrin_root/build-fuzz/findings"
mkdir -p "$findings"
status=0
for t in "${targets[@]}"; do
  work="$pelgrin_root/build-fuzz/corpus-work/$t"
  mkdir -p "$work"
  cp -n "$pelgrin_root/fuzz/corpus/$t/"* "$work/" 2>/dev/null || true
  log="$pelgrin_root/build-fuzz/$t.log"
  if "$fuzz_dir/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/$t-" "$work" >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    echo "$t: ${seconds}s, $runs executions, no finding"
  else
    echo "$t: FINDING (see $log and $findings)"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
