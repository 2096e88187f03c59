#!/usr/bin/env bash
# Runs a command in the Wine session of the lane ctest gave the test:
#   wine-lane.sh <command...>     (sourced: only sets the session up)
# scripts/test.sh starts one session per lane (a prefix, a virtual display
# and a HOME of its own, described in $SHADOWPANE_WINE_LANES/<id>.env) and
# runs ctest with a resource file of those lanes; each Windows test asks for
# one (shadowpane_test), and ctest names the one it got in
# CTEST_RESOURCE_GROUP_0_WINE_SESSION ("id:<id>,slots:1"). Without lanes the
# command runs in the session the caller exported.
lane=${CTEST_RESOURCE_GROUP_0_WINE_SESSION:-}
if [ -n "$lane" ] && [ -n "${SHADOWPANE_WINE_LANES:-}" ]; then
  lane=${lane#id:}
  lane=${lane%%,*}
  # shellcheck disable=SC1090
  . "$SHADOWPANE_WINE_LANES/$lane.env" || { echo "wine-lane: no session for lane $lane" >&2; exit 1; }
  # Which lane ran what, for the test command's summary.
  echo "${1##*/}" >>"$SHADOWPANE_WINE_LANES/$lane.ran"
fi
(return 0 2>/dev/null) || exec "$@"
