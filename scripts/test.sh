#!/usr/bin/env bash
# Installs what is missing, builds every configuration and runs every test:
# the native suite directly, the concurrency tests again under
# ThreadSanitizer, the whole native suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, each fuzz target for a short fixed number of
# inputs from its seeds, and the Windows suite under Wine on a virtual
# display of its own. Prints each summary and fails when any build or test
# fails. Interrupted or told to terminate, it stops everything it started.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}
export BUILD_ROOT=$build_root
tsan_targets=${TSAN_TARGETS:-"devices_capture_tests devices_capture_stress_tests"}
# The fuzz targets of the short runs, and how many inputs each one gets.
# Each starts from its seeds, which include the regression inputs of faults
# it found; FUZZ_REPLAY_TARGETS names targets to replay without fuzzing.
fuzz_short_targets=${FUZZ_SHORT_TARGETS:-"profile_codec settings link_device discovery text_layout command_line usage"}
fuzz_replay_targets=${FUZZ_REPLAY_TARGETS:-}
fuzz_short_runs=${FUZZ_SHORT_RUNS:-20000}

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
  # The Wine server and its processes detach from us; its prefix knows them.
  WINEPREFIX="$build_root/win32/wineprefix" wineserver -k >/dev/null 2>&1
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
  # shellcheck disable=SC2086
  FUZZ_BUILD=0 FUZZ_RUNS=$fuzz_short_runs "$root/scripts/fuzz.sh" 0 $fuzz_short_targets || return 1
  # shellcheck disable=SC2086
  [ -z "$fuzz_replay_targets" ] || FUZZ_BUILD=0 FUZZ_RUNS=0 "$root/scripts/fuzz.sh" 0 $fuzz_replay_targets
}

windows_tests() {
  # shellcheck source=lib/wine-session.sh
  . "$root/scripts/lib/wine-session.sh"
  wine_session_start "$build_root/win32" own-display || return 1
  cd "$build_root/win32" && ctest --output-on-failure --no-tests=error
}

"$root/scripts/setup.sh" & wait $! || exit 1
"$root/scripts/build.sh" & wait $! || { echo "test: build failed" >&2; exit 1; }

status=0
mkdir -p "$build_root"
rm -f "$build_root"/{native,tsan,asan,win32}-ctest.log "$build_root/fuzz-short.log"

echo "=== native tests ==="
stage "$build_root/native-ctest.log" native_tests || status=1

echo "=== native concurrency tests (ThreadSanitizer) ==="
stage "$build_root/tsan-ctest.log" tsan_tests || status=1

echo "=== native tests (AddressSanitizer, UndefinedBehaviorSanitizer) ==="
stage "$build_root/asan-ctest.log" asan_tests || status=1

echo "=== fuzz targets, $fuzz_short_runs inputs each ==="
stage "$build_root/fuzz-short.log" fuzz_short || status=1

echo "=== Windows tests (Wine) ==="
stage "$build_root/win32-ctest.log" windows_tests || status=1

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
[ $status -eq 0 ] || echo "test: FAILED" >&2
exit $status
