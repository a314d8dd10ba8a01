#!/usr/bin/env bash
# Runs the unit tests under a fake clock (libfaketime) at the instants and in the time
# zones where dates and times turn awkward: the sample's reading hours, either side of
# midnight, a month's and a year's end, 29 February, both daylight-saving changes in
# New York (the repeated hour in both passes), noon of a day whose midnight Santiago's
# clock skips, and zones whose offsets are not whole hours. Run it after touching dates,
# times or the sample greenhouse. Slow (the whole unit suite once per instant), so CI
# does not run it; CI runs its check (tests/sweep) instead.
#
# Every test process starts at the instant and its clock runs on from there: each test
# gets a ctest of its own, started under the fake clock at the instant by a launcher
# that keeps the real clock (scripts/ctest-at-instants.sh says why one ctest for the
# whole suite would not do). File times stay real (NO_FAKE_STAT), or the stale-file
# tests would fail anywhere.
#
# Usage: scripts/clock-sweep.sh [ctest arguments that choose tests, e.g. -R Climate or
# -E Photo]; the tests labelled whole, window, sanitize or sweep are always left out.
# ORVANE_JOBS tests run at a time (one a core by default). Logs go to
# build-test/clock-sweep/. Exits non-zero when the build fails, when no test is chosen,
# when a test fails at any instant, or when interrupted (SIGINT, SIGTERM: the tests under
# way are ended first).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
source scripts/test-env.sh

# The build and the launcher each run in a process group of their own, in the
# background, so that an interrupt of this script (SIGINT, or SIGTERM to it alone) reaches
# them at once: it is passed on to the group as SIGTERM, and the script exits once the
# group's leader has ended (the launcher ends the tests it started and removes its work
# folder first).
child=""
interrupted=""
stop() {
  interrupted=$1
  if [ -z "$child" ]; then exit "$1"; fi
  kill -TERM -- "-$child" 2> /dev/null || true
}
trap 'stop 130' INT
trap 'stop 143' TERM
in_own_group() {
  local status=0
  set -m
  "$@" &
  child=$!
  set +m
  while kill -0 "$child" 2> /dev/null; do
    status=0
    wait "$child" || status=$?
  done
  child=""
  if [ -n "$interrupted" ]; then exit "$interrupted"; fi
  return $status
}

logs=build-test/clock-sweep
rm -rf "$logs"
mkdir -p "$logs"
if ! in_own_group build_tests > "$logs/build.log" 2>&1; then
  cat "$logs/build.log"
  echo "FAIL: the build failed (log: $logs/build.log)"
  exit 1
fi
scratch_env

# Zone, then the instant as the zone's clock reads it, with its offset from UTC.
instants=(
  "UTC|2026-06-15 07:00:20 +0000"
  "UTC|2026-06-15 14:00:50 +0000"
  "UTC|2026-06-15 20:01:10 +0000"
  "UTC|2026-06-15 23:59:50 +0000"
  "UTC|2026-06-16 00:00:10 +0000"
  "UTC|2026-04-30 23:59:40 +0000"
  "UTC|2026-12-31 23:59:40 +0000"
  "UTC|2028-02-29 12:00:00 +0000"
  "Europe/Berlin|2026-06-15 07:00:20 +0200"
  "America/New_York|2026-03-08 01:55:00 -0500"
  "America/New_York|2026-03-08 03:05:00 -0400"
  "America/New_York|2026-11-01 01:05:00 -0400"
  "America/New_York|2026-11-01 01:05:00 -0500"
  "America/New_York|2026-11-01 01:45:00 -0500"
  "America/Santiago|2026-09-06 12:00:00 -0300"
  "Pacific/Chatham|2026-06-15 12:00:00 +1245"
  "America/St_Johns|2026-06-15 12:00:00 -0230"
)

in_own_group scripts/ctest-at-instants.sh build-test "$logs" "${instants[@]}" -- -LE "$program_test_labels" "$@"
