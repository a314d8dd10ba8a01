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
# gtest's discovery). `ctest -I n,n` counts over the whole list, while a listing that -E
# filters numbers its tests anew, so each chosen test is looked up by its name in the
# whole list, and its run passes only with a result line of its own, under its number and
# name, that says it passed (or skipped itself): a run that finds another test or none
# fails. One ctest per test cannot keep RUN_SERIAL, resource locks, fixtures or
# dependencies between tests, so a chosen test that has any of them stops the run.
#
# An interrupt (SIGINT, SIGTERM) ends the ctests and tests started, with libfaketime's
# shared memory of the ctests it ended, removes the work folder and exits non-zero.
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

# Whether a process, or one of a process group, is still alive (zombies are not).
alive() { ps -o stat= -p "$1" 2> /dev/null | grep -qv '^Z'; }
group_alive() { ps -e -o pgid=,stat= | awk -v g="$1" '$1 == g && $2 !~ /^Z/ { found = 1 } END { exit !found }'; }

# The jobs of the instant under way run in a session of their own, so that an interrupt
# can end every one of them, however deep, and nothing else.
runner=""
sweep_work=""
interrupted() {
  trap '' INT TERM
  if [ -n "$runner" ]; then
    kill -TERM -- "-$runner" 2> /dev/null || true
    local tenths=0
    while group_alive "$runner" && [ $tenths -lt 50 ]; do sleep 0.1; tenths=$((tenths + 1)); done
    kill -KILL -- "-$runner" 2> /dev/null || true
    wait "$runner" 2> /dev/null || true
  fi
  if [ -n "$sweep_work" ]; then
    # A ctest ended by a signal leaves its libfaketime shared memory behind.
    local pid
    for pid in $(cat "$sweep_work"/*.pid 2> /dev/null); do
      alive "$pid" || rm -f "/dev/shm/faketime_shm_$pid" "/dev/shm/sem.faketime_sem_$pid"
    done
    rm -rf "$sweep_work"
  fi
  echo "Interrupted: the tests under way were ended; the logs of finished instants are in $logs" >&2
  exit "$1"
}
trap 'interrupted 130' INT
trap 'interrupted 143' TERM
trap '[ -z "$sweep_work" ] || rm -rf "$sweep_work"' EXIT

libfaketime=$(find_libfaketime) || { echo "needs libfaketime (Debian package faketime)" >&2; exit 2; }

# "NUMBER NAME" for each test ctest lists with the given arguments.
list_tests() {
  (cd "$build" && ctest -N "$@") | sed -n -e 's/ (Disabled)$//' -e 's/^ *Test *#\([0-9][0-9]*\): \(.*\)$/\1 \2/p'
}
if ! whole=$(list_tests) || ! chosen=$(list_tests "${choose[@]}"); then
  echo "ctest could not list the tests in $build${choose[*]:+ with: ${choose[*]}}" >&2
  exit 2
fi
if [ -z "$chosen" ]; then
  echo "No tests were found in $build${choose[*]:+ with: ${choose[*]}}" >&2
  exit 2
fi
# The chosen tests in their order, each with its number in the whole list.
if ! tests=$(awk 'NR == FNR { n = $1; sub(/^[0-9]+ /, ""); count[$0]++; number[$0] = n; next }
                  { sub(/^[0-9]+ /, "") }
                  count[$0] != 1 { print "the test name \"" $0 "\" is not one test of the whole list" > "/dev/stderr"; bad = 1; next }
                  { print number[$0] " " $0 }
                  END { exit bad }' <(echo "$whole") <(echo "$chosen")); then
  exit 2
fi
if ! properties=$(cd "$build" && ctest --show-only=json-v1 "${choose[@]}"); then
  echo "ctest could not show the tests' properties in $build" >&2
  exit 2
fi
kept=$(grep -oE '"name" *: *"(RUN_SERIAL|RESOURCE_LOCK|RESOURCE_GROUPS|FIXTURES_(SETUP|CLEANUP|REQUIRED)|DEPENDS)"' <<< "$properties" |
       sed 's/.*: *"//; s/"$//' | sort -u | paste -sd ' ' - || true)
if [ -n "$kept" ]; then
  echo "Some chosen tests have $kept: a run of one ctest per test cannot keep that; leave them out." >&2
  exit 2
fi
total=$(wc -l <<< "$tests")

# One test under the fake clock; its output, exit status and the ctest's process id go to
# the work folder. `exec env … ctest` keeps the subshell's process id for the ctest.
run_one() {
  local status=0
  (cd "$sweep_build" && exec env TZ="$sweep_zone" LD_PRELOAD="$sweep_lib" FAKETIME="@$sweep_epoch" \
     FAKETIME_FMT=%s FAKETIME_SKIP_CMDS=ctest FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 \
     ctest -I "$1,$1" --output-on-failure) > "$sweep_work/$1.out" 2>&1 &
  echo $! > "$sweep_work/$1.pid"
  wait $! || status=$?
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
  cut -d' ' -f1 <<< "$tests" > "$sweep_work/numbers"
  start=$(date +%s)
  setsid xargs -P "$jobs" -n 1 bash -c 'run_one "$1"' run_one < "$sweep_work/numbers" &
  runner=$!
  wait "$runner" || true
  runner=""
  seconds=$(( $(date +%s) - start ))

  # The log in test order: each test's result line, and the whole output of a failed one.
  failures=()
  {
    echo "$sweep_zone $when (FAKETIME=@$sweep_epoch), one ctest per test, $jobs at a time"
    while read -r n name; do
      status=$(cat "$sweep_work/$n.status" 2> /dev/null || echo "none")
      result=$(awk -v own="Test #$n: $name " '{ line = $0; sub(/Test +#/, "Test #", line); at = index(line, own) }
                                                at && substr(line, 1, at - 1) ~ /^ *[0-9]+\/[0-9]+ +$/ { print; exit }' \
                 "$sweep_work/$n.out" 2> /dev/null || true)
      if [ "$status" = 0 ] && grep -qE '(  Passed|\*\*\*Skipped) +[0-9.]+ sec$' <<< "$result"; then
        echo "$result"
      else
        cat "$sweep_work/$n.out" 2> /dev/null || true
        if [ -z "$result" ]; then
          reason="no result line of its own"
        else
          reason=$(grep -oE '\*\*\*[A-Za-z: ()]*[A-Za-z)]' <<< "$result" | head -1 || true)
          reason=${reason#\*\*\*}
        fi
        failures+=("#$n $name (${reason:+$reason; }ctest exit $status)")
      fi
    done <<< "$tests"
    echo "$(( total - ${#failures[@]} )) passed, ${#failures[@]} failed out of $total in $seconds s"
  } > "$log"
  rm -rf "$sweep_work"
  sweep_work=""

  if [ ${#failures[@]} -eq 0 ]; then
    echo "PASS  $sweep_zone $when: $total tests passed in $seconds s"
  else
    failed=1
    echo "FAIL  $sweep_zone $when: ${#failures[@]} of $total tests failed in $seconds s (log: $log)"
    printf '      %s\n' "${failures[@]}"
  fi
done
exit $failed
