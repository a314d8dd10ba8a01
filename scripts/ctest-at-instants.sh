#!/usr/bin/env bash
# Runs the tests of a CTest build folder under a fake clock (libfaketime), once at each
# of the given instants, every test starting at the instant itself.
#
# Under libfaketime a process started by a faked parent reads the parent's running time
# on top of the instant (the first faked process shares its start with its children),
# so one ctest for a whole run would start its later tests minutes after the instant.
# Here a launcher that keeps the real clock starts one fresh ctest per test under the
# fake clock, ORVANE_JOBS of them at a time: each test's parent is a few milliseconds old.
# ctest itself keeps the real clock (FAKETIME_SKIP_CMDS), so test timeouts hold in real
# time; file times and the monotonic clock stay real (NO_FAKE_STAT,
# FAKETIME_DONT_FAKE_MONOTONIC), or the stale-file tests and the timers would fail anywhere.
#
# The tests are listed once with the real clock before the first instant (that also runs
# gtest's discovery). One ctest per test cannot keep RUN_SERIAL, resource locks, fixtures
# or dependencies between tests, so a chosen test that has any of them stops the run.
#
# Usage: scripts/ctest-at-instants.sh BUILD_DIR LOG_DIR 'ZONE|INSTANT'... [-- ctest arguments
#        that choose the tests, e.g. -R Climate]
# INSTANT is the zone's wall time with its offset from UTC: 'America/Santiago|2026-09-06
# 12:00:00 -0300'. Writes one log an instant to LOG_DIR and prints PASS or FAIL for each,
# naming the failed tests. Exits 1 when a test fails at any instant, 2 when it cannot run.
set -euo pipefail
source "$(dirname "$0")/test-env.sh"

if [ $# -lt 3 ]; then
  echo "usage: $0 BUILD_DIR LOG_DIR 'ZONE|INSTANT'... [-- ctest arguments]" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
mkdir -p "$2"
logs=$(cd "$2" && pwd)
shift 2
instants=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do instants+=("$1"); shift; done
if [ $# -gt 0 ]; then shift; fi
choose=("$@")

libfaketime=$(find_libfaketime) || { echo "needs libfaketime (Debian package faketime)" >&2; exit 2; }

tests=$(cd "$build" && ctest -N "${choose[@]}" | sed -n 's/^ *Test *#\([0-9][0-9]*\): \(.*\)$/\1 \2/p')
if [ -z "$tests" ]; then
  echo "No tests were found in $build with: ${choose[*]}" >&2
  exit 2
fi
kept=$(cd "$build" && ctest --show-only=json-v1 "${choose[@]}" |
       grep -oE '"name" *: *"(RUN_SERIAL|RESOURCE_LOCK|RESOURCE_GROUPS|FIXTURES_(SETUP|CLEANUP|REQUIRED)|DEPENDS)"' |
       sed 's/.*: *//' | sort -u | tr '\n' ' ' || true)
if [ -n "$kept" ]; then
  echo "Some chosen tests have $kept: a run of one ctest per test cannot keep that; leave them out." >&2
  exit 2
fi
total=$(wc -l <<< "$tests")

# One test under the fake clock; its output and exit status go to the work folder.
run_one() {
  local status=0
  (cd "$sweep_build" && exec env TZ="$sweep_zone" LD_PRELOAD="$sweep_lib" FAKETIME="@$sweep_epoch" \
     FAKETIME_FMT=%s FAKETIME_SKIP_CMDS=ctest FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 \
     ctest -I "$1,$1" --output-on-failure) > "$sweep_work/$1.out" 2>&1 || status=$?
  echo "$status" > "$sweep_work/$1.status"
}
export -f run_one
export sweep_build=$build sweep_lib=$libfaketime sweep_zone sweep_epoch sweep_work

failed=0
for row in "${instants[@]}"; do
  sweep_zone=${row%%|*}
  when=${row#*|}
  sweep_epoch=$(date -d "$when" +%s)
  log="$logs/$(echo "$sweep_zone $when" | tr -c 'A-Za-z0-9+-' '_').log"
  sweep_work=$(mktemp -d "$logs/running-XXXXXX")
  start=$(date +%s)
  cut -d' ' -f1 <<< "$tests" | xargs -P "$jobs" -n 1 bash -c 'run_one "$1"' run_one
  seconds=$(( $(date +%s) - start ))

  # The log in test order: each test's result line, and the whole output of a failed one.
  failures=()
  {
    echo "$sweep_zone $when (FAKETIME=@$sweep_epoch), one ctest per test, $jobs at a time"
    while read -r n name; do
      status=$(cat "$sweep_work/$n.status" 2>/dev/null || echo "none")
      if [ "$status" = 0 ]; then
        grep -E "Test +#$n:" "$sweep_work/$n.out" || echo "Test #$n: $name (no result line)"
      else
        cat "$sweep_work/$n.out"
        reason=$(grep -E "Test +#$n:" "$sweep_work/$n.out" | grep -oE '\*\*\*[A-Za-z: ]*[A-Za-z]' | head -1 || true)
        failures+=("#$n $name (${reason:+${reason#\*\*\*}; }ctest exit $status)")
      fi
    done <<< "$tests"
    echo "$(( total - ${#failures[@]} )) passed, ${#failures[@]} failed out of $total in $seconds s"
  } > "$log"
  rm -rf "$sweep_work"

  if [ ${#failures[@]} -eq 0 ]; then
    echo "PASS  $sweep_zone $when: $total tests passed in $seconds s"
  else
    failed=1
    echo "FAIL  $sweep_zone $when: ${#failures[@]} of $total tests failed in $seconds s (log: $log)"
    printf '      %s\n' "${failures[@]}"
  fi
done
exit $failed
