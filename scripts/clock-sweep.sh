#!/usr/bin/env bash
# Runs the unit tests under a fake clock (libfaketime) at the instants and in the time
# zones where dates and times turn awkward: the sample's reading hours, either side of
# midnight, a month's and a year's end, 29 February, both daylight-saving changes in
# New York (the repeated hour in both passes), and zones whose offsets are not whole
# hours. Run it after touching dates, times or the sample greenhouse. Slow (the whole
# unit suite once per instant), so CI does not run it.
#
# Every test process starts at the instant and its clock runs on from there: ctest
# itself keeps the real clock, and each process it starts begins anew at the instant.
# File times stay real (NO_FAKE_STAT), or the stale-file tests would fail anywhere.
#
# Usage: scripts/clock-sweep.sh [ctest arguments, e.g. -R Climate]
# Logs go to build-test/clock-sweep/. Exits non-zero when a test fails at any instant.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/test-env.sh

find_libfaketime() {
  local dir
  for dir in /usr/lib/*/faketime /usr/lib/faketime /usr/local/lib/faketime; do
    if [ -f "$dir/libfaketime.so.1" ]; then echo "$dir/libfaketime.so.1"; return 0; fi
  done
  return 1
}
if ! libfaketime=$(find_libfaketime); then
  if [ "$(id -u)" -eq 0 ] || command -v sudo >/dev/null; then
    SUDO=""
    if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
    echo "Installing faketime"
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends faketime
  fi
  libfaketime=$(find_libfaketime) || { echo "needs libfaketime (Debian package faketime)"; exit 2; }
fi

build_tests >/dev/null
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
  "Pacific/Chatham|2026-06-15 12:00:00 +1245"
  "America/St_Johns|2026-06-15 12:00:00 -0230"
)

logs=build-test/clock-sweep
rm -rf "$logs"
mkdir -p "$logs"
failed=0
for row in "${instants[@]}"; do
  zone=${row%%|*}
  when=${row#*|}
  epoch=$(date -d "$when" +%s)
  log="$logs/$(echo "$zone $when" | tr -c 'A-Za-z0-9+-' '_').log"
  status=0
  (cd build-test && env TZ="$zone" LD_PRELOAD="$libfaketime" FAKETIME="@$epoch" FAKETIME_FMT=%s \
     FAKETIME_SKIP_CMDS=ctest FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 \
     ctest --output-on-failure -j "$jobs" -LE "$program_test_labels" "$@") > "$log" 2>&1 || status=$?
  summary=$(grep -E 'tests passed|No tests were found' "$log" | tail -1 || true)
  if [ "$status" -eq 0 ]; then
    echo "PASS  $zone $when: $summary"
  else
    failed=1
    echo "FAIL  $zone $when: ${summary:-ctest exit $status} (log: $log)"
    grep -E '^\s+[0-9]+ - .*\((Failed|Timeout|SEGFAULT|Subprocess aborted|Exception)' "$log" | sed 's/^/      /' || true
  fi
done
exit $failed
