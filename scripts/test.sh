#!/usr/bin/env bash
# Installs what is missing, builds both configurations and runs every test:
# the native suite directly, the concurrency tests again under
# ThreadSanitizer, the Windows suite under Wine on a virtual display of its
# own. Fails when any build or test fails.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_root=${BUILD_ROOT:-$root/build}

"$root/scripts/setup.sh" || exit 1
"$root/scripts/build.sh" || { echo "test: build failed" >&2; exit 1; }

status=0
echo "=== native tests ==="
(cd "$build_root/native" && ctest --output-on-failure) | tee "$build_root/native-ctest.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

echo "=== native concurrency tests (ThreadSanitizer) ==="
tsan_tests=$(echo "${TSAN_TARGETS:-devices_capture_tests devices_capture_stress_tests}" | tr ' ' '|')
(cd "$build_root/tsan" &&
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" \
    ctest --output-on-failure -R "^($tsan_tests)\$") | tee "$build_root/tsan-ctest.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

echo "=== Windows tests (Wine) ==="
(
  # shellcheck source=lib/wine-session.sh
  . "$root/scripts/lib/wine-session.sh"
  wine_session_start "$build_root/win32" own-display
  cd "$build_root/win32" && ctest --output-on-failure
) | tee "$build_root/win32-ctest.log"
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1

echo "=== summary ==="
echo "native:  $(grep -E 'tests passed|tests failed' "$build_root/native-ctest.log" | tail -1)"
echo "tsan:    $(grep -E 'tests passed|tests failed' "$build_root/tsan-ctest.log" | tail -1)"
echo "Windows: $(grep -E 'tests passed|tests failed' "$build_root/win32-ctest.log" | tail -1)"
exit $status
