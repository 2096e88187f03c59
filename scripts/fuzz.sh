#!/usr/bin/env bash
# Runs the fuzz targets, one after the other, for as long as asked:
#   scripts/fuzz.sh [seconds-per-target] [target...]
# (default 60 seconds, 0 for until interrupted; every target). Each target
# starts from its seed corpus, fuzz/corpus/<target>/, and keeps what it adds in
# $BUILD_ROOT/fuzz/corpus/<target>/, so a later run goes on from there; the
# repository's seeds are never written. An input that breaks a property, or
# that the sanitizers object to, is written to
# $BUILD_ROOT/fuzz/findings/<target>/ and fails the command.
#
# FUZZ_RUNS=n runs each target exactly n inputs instead, from the seeds
# alone with a fixed random seed (the test command's short runs);
# FUZZ_BUILD=0 skips the build. Prints one line per target: inputs run,
# inputs per second, and the outcome.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
all_targets="profile_codec settings link_device discovery text_layout command_line usage"

seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -gt 0 ] || read -r -a targets <<<"$all_targets"
case $seconds in
  '' | *[!0-9]*) echo "fuzz: seconds must be a whole number: $seconds" >&2; exit 2 ;;
esac
for target in "${targets[@]}"; do
  [[ " $all_targets " == *" $target "* ]] || { echo "fuzz: no target $target ($all_targets)" >&2; exit 2; }
done

if [ "${FUZZ_BUILD:-1}" != 0 ]; then
  "$root/scripts/setup.sh" || exit 1
  BUILD_ONLY=fuzz "$root/scripts/build.sh" || { echo "fuzz: build failed" >&2; exit 1; }
fi

# Interrupted, stop the target that runs and the targets still to come.
child=
trap '[ -n "$child" ] && kill "$child" 2>/dev/null; wait; exit 130' INT TERM HUP

status=0
summary=()
for target in "${targets[@]}"; do
  binary=$build_root/fuzz/fuzz/fuzz_$target
  findings=$build_root/fuzz/findings/$target
  log=$build_root/fuzz/$target.log
  mkdir -p "$findings"
  if [ -n "${FUZZ_RUNS:-}" ]; then
    # A fresh, empty corpus folder: the short run depends on the seeds only.
    corpus=$build_root/fuzz/short/$target
    rm -rf "$corpus"
    limit=(-runs="$FUZZ_RUNS" -seed=1)
  else
    corpus=$build_root/fuzz/corpus/$target
    limit=(-max_total_time="$seconds")
  fi
  mkdir -p "$corpus"
  echo "=== fuzz $target ==="
  started=$(date +%s%N)
  "$binary" "${limit[@]}" -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" "$root/fuzz/corpus/$target" >"$log" 2>&1 &
  child=$!
  wait $child
  result=$?
  child=
  elapsed=$(($(date +%s%N) - started))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  speed=$(awk -v runs="${runs:-0}" -v ns="$elapsed" 'BEGIN { printf "%d", (ns > 0 ? runs * 1e9 / ns : 0) }')
  if [ $result -eq 0 ]; then
    outcome=ok
  else
    status=1
    outcome="FAILED (see $log)"
    grep -E 'property broken|ERROR|runtime error|Test unit written' "$log" | head -5 >&2
  fi
  summary+=("$(printf '%-14s %10s inputs %8s/s  %s' "$target" "${runs:-?}" "${speed:-?}" "$outcome")")
done

printf '%s\n' "${summary[@]}"
exit $status
