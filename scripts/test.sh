#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# the native suite directly, the concurrency tests again under
# ThreadSanitizer, the whole native suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, each fuzz target for a short fixed number of
# inputs from its seeds, and the Windows suite under Wine in two lanes, each
# with a prefix and a virtual display of its own. Prints each summary and
# each phase's wall time, and fails when any build or test fails.
# Interrupted or told to terminate, it stops everything it started.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
export BUILD_ROOT=$build_root
tsan_targets=${TSAN_TARGETS:-"devices_capture_tests devices_capture_stress_tests"}
# The fuzz targets of the short runs, and how many inputs each one gets.
# Each starts from its seeds, which include the regression inputs of faults
# it found; FUZZ_REPLAY_TARGETS names targets to replay without fuzzing.
# discovery first: it runs about 250 inputs a second, the others thousands.
fuzz_short_targets=${FUZZ_SHORT_TARGETS:-"discovery profile_codec settings link_device text_layout command_line usage"}
fuzz_replay_targets=${FUZZ_REPLAY_TARGETS:-}
fuzz_short_runs=${FUZZ_SHORT_RUNS:-20000}
# The Windows suite's lanes: Wine sessions side by side, one test in each.
wine_lanes=${WINE_LANES:-2}

# Every stage runs in the background and is waited for, so a signal reaches
# the trap at once instead of after the stage.
child_pids() { ps -o pid= --ppid "$1" 2>/dev/null; }
# Stops a process before listing its children, so nothing forks anew (ctest
# its next test) while the tree is collected.
stopped=()
freeze_tree() {
  kill -STOP "$1" 2>/dev/null || return 0
  stopped+=("$1")
  local child
  for child in $(child_pids "$1"); do freeze_tree "$child"; done
}
on_signal() {
  trap - INT TERM HUP
  echo "test: interrupted; stopping what was started" >&2
  local child
  for child in $(child_pids $$); do freeze_tree "$child"; done
  if [ ${#stopped[@]} -gt 0 ]; then
    kill -TERM "${stopped[@]}" 2>/dev/null
    kill -CONT "${stopped[@]}" 2>/dev/null
  fi
  # The Wine servers and their processes detach from us; their prefixes
  # know them.
  local prefix
  for prefix in "$build_root"/win32/wineprefix "$build_root"/win32/wineprefix-*; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
  done
  wait
  exit "$1"
}
trap 'on_signal 130' INT
trap 'on_signal 143' TERM
trap 'on_signal 129' HUP

# stage <log> <command...>: shows the output and keeps it in the log;
# answers the command's status.
stage() {
  local log=$1
  shift
  ("$@" 2>&1 | tee "$log"; exit "${PIPESTATUS[0]}") &
  wait $!
}

native_tests() {
  cd "$build_root/native" && ctest --output-on-failure --no-tests=error
}

tsan_tests() {
  local pattern
  pattern=$(echo "$tsan_targets" | tr -s ' ' '|')
  cd "$build_root/tsan" &&
    TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
      ctest --output-on-failure --no-tests=error -R "^($pattern)\$"
}

asan_tests() {
  cd "$build_root/asan" &&
    ASAN_OPTIONS="detect_leaks=1 abort_on_error=1 ${ASAN_OPTIONS:-}" \
      UBSAN_OPTIONS="print_stacktrace=1 halt_on_error=1 ${UBSAN_OPTIONS:-}" \
      ctest --output-on-failure --no-tests=error
}

fuzz_short() {
  # Two at a time, each target as soon as a core is free (a run is one
  # process), every target with its own folders, log and seed; the slowest
  # target is listed first, so the others fill the other core beside it.
  local logs=$build_root/fuzz-short status=0 target
  rm -rf "$logs"
  mkdir -p "$logs"
  # shellcheck disable=SC2086,SC2016
  printf '%s\n' $fuzz_short_targets |
    FUZZ_BUILD=0 FUZZ_RUNS=$fuzz_short_runs xargs -P 2 -I '{}' \
      sh -c '"$1" 0 "$2" >"$3/$2.log" 2>&1' sh "$root/scripts/fuzz.sh" '{}' "$logs" || status=1
  for target in $fuzz_short_targets; do cat "$logs/$target.log"; done
  [ $status -eq 0 ] || return 1
  # shellcheck disable=SC2086
  [ -z "$fuzz_replay_targets" ] || FUZZ_BUILD=0 FUZZ_RUNS=0 "$root/scripts/fuzz.sh" 0 $fuzz_replay_targets
}

windows_tests() {
  # shellcheck source=lib/wine-session.sh
  . "$root/scripts/lib/wine-session.sh"
  wine_lanes_start "$build_root/win32" "$wine_lanes" || return 1
  cd "$build_root/win32" &&
    ctest --output-on-failure --no-tests=error -j "$wine_lanes" \
      --resource-spec-file "$SHADOWPANE_WINE_LANES/resources.json"
}

# Each phase's wall time, for the summary.
started=$(date +%s)
phase_names=()
phase_seconds=()
phase_started=0
phase_begin() { phase_started=$(date +%s%N); }
phase_end() {
  phase_names+=("$1")
  phase_seconds+=("$(awk -v ns="$(($(date +%s%N) - phase_started))" 'BEGIN { printf "%.0f", ns / 1e9 }')")
}

phase_begin
"$root/scripts/setup.sh" & wait $! || exit 1
phase_end packages
for configuration in native win32 tsan asan fuzz; do
  phase_begin
  BUILD_ONLY=$configuration "$root/scripts/build.sh" & wait $! ||
    { echo "test: build failed ($configuration)" >&2; exit 1; }
  phase_end "build: $configuration"
done

status=0
mkdir -p "$build_root"
rm -f "$build_root"/{native,tsan,asan,win32}-ctest.log "$build_root"/fuzz-short.{log,seconds}

echo "=== native tests ==="
phase_begin
stage "$build_root/native-ctest.log" native_tests || status=1
phase_end "native tests"

echo "=== native concurrency tests (ThreadSanitizer) ==="
phase_begin
stage "$build_root/tsan-ctest.log" tsan_tests || status=1
phase_end "tsan tests"

echo "=== native tests (AddressSanitizer, UndefinedBehaviorSanitizer) ==="
phase_begin
stage "$build_root/asan-ctest.log" asan_tests || status=1
phase_end "asan tests"

# The fuzz runs go on beside the Windows tests: the Wine lanes wait for
# windows and programs much of the time, and the runs take that time (their
# output follows the Windows tests').
echo "=== fuzz targets, $fuzz_short_runs inputs each, beside the Windows tests ==="
fuzz_timing=$build_root/fuzz-short.seconds
(
  begun=$(date +%s%N)
  fuzz_short >"$build_root/fuzz-short.log" 2>&1
  result=$?
  awk -v ns="$(($(date +%s%N) - begun))" 'BEGIN { printf "%.0f\n", ns / 1e9 }' >"$fuzz_timing"
  exit $result
) &
fuzz_pid=$!

echo "=== Windows tests (Wine, $wine_lanes lanes) ==="
phase_begin
stage "$build_root/win32-ctest.log" windows_tests || status=1
phase_end "Windows tests"

wait $fuzz_pid || status=1
echo "=== fuzz targets, $fuzz_short_runs inputs each ==="
cat "$build_root/fuzz-short.log"
phase_names+=("fuzz runs")
phase_seconds+=("$(cat "$fuzz_timing" 2>/dev/null || echo 0)")

summary() {
  local line
  line=$(grep -E 'tests passed|tests failed|No tests were found' "$1" 2>/dev/null | tail -1)
  echo "${line:-no ctest summary (see the output above)}"
}
echo "=== summary ==="
echo "native:  $(summary "$build_root/native-ctest.log")"
echo "tsan:    $(summary "$build_root/tsan-ctest.log")"
echo "asan:    $(summary "$build_root/asan-ctest.log")"
fuzz_summary() {
  local total failed
  total=$(grep -cE ' inputs .*/s ' "$1" 2>/dev/null)
  failed=$(grep -cE ' inputs .*/s +FAILED' "$1" 2>/dev/null)
  if [ "${total:-0}" -eq 0 ]; then
    echo "no fuzz summary (see the output above)"
  elif [ "$failed" -eq 0 ]; then
    echo "all $total targets passed"
  else
    echo "$failed of $total targets failed"
  fi
}
echo "fuzz:    $(fuzz_summary "$build_root/fuzz-short.log")"
echo "Windows: $(summary "$build_root/win32-ctest.log")"
for ran in "$build_root"/win32/wine-lanes/*.ran; do
  [ -f "$ran" ] || continue
  lane=${ran##*/}
  echo "  lane ${lane%.ran}: $(sed 's/\.exe$//' "$ran" | tr '\n' ' ')"
done
echo "=== wall time ==="
for i in "${!phase_names[@]}"; do
  printf '%-16s %5d s\n' "${phase_names[$i]}" "${phase_seconds[$i]}"
done
printf '%-16s %5d s  (fuzz beside Windows; load: %s)\n' total "$(($(date +%s) - started))" "$(cut -d' ' -f1-3 /proc/loadavg)"
[ $status -eq 0 ] || echo "test: FAILED" >&2
exit $status
