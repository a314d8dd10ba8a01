#!/usr/bin/env bash
# Checks the clock sweep: its launcher (scripts/ctest-at-instants.sh) on CTest folders of
# stand-in tests, and scripts/clock-sweep.sh on a scratch copy of the scripts beside a
# stand-in project. Each case holds rules whose breach would let the sweep pass a test
# it never ran, or leave something behind:
#   instants     Qt probes (ClockProbe.cpp) at two instants, two at a time: probes that
#                hold their job slot for two seconds make the later ones start two and
#                four seconds after the first in real time; every probe must still read
#                its instant within a second, and the one made to fail at the second
#                instant must fail the run, named under that instant.
#   choice       exactly the tests `ctest -N` lists for a choice run, under every filter
#                ctest takes, alone and together; a choice of no test, a chosen test that
#                one ctest per test cannot keep, and a job count that is not a whole
#                number above 0 stop the run before anything runs.
#   failures     a failure, a timeout or a crash at an earlier instant fails the run and
#                is named under that instant only; a run that shows no result line of
#                its own fails.
#   interrupts   SIGINT to the launcher's process group, or SIGTERM to it alone, ends
#                every ctest and test it started, removes its work folder and
#                libfaketime's shared memory of the ctests it ended, and exits non-zero.
#   clock-sweep  the sweep leaves out the tests with the labels of the whole-program,
#                window, sanitizer and sweep tests and runs exactly the others that its
#                ctest arguments choose; a failed build fails it, showing the build's
#                errors, without running a test; an interrupt, while it builds or while
#                its tests run, leaves nothing behind.
# Every wait is bounded. Usage: sweep-check.sh CASE LAUNCHER PROBE
set -uo pipefail
check=$1
launcher=$(realpath "$2")
probe=$(realpath "$3")
scripts=$(dirname "$launcher")
source "$scripts/test-env.sh"
find_libfaketime > /dev/null || { echo "SKIPPED: libfaketime missing (Debian package faketime)"; exit 0; }

scratch=$(mktemp -d /tmp/ov-sweep-check-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# A CTest folder DIR whose tests are the lines read, one "NAME [SHELL COMMAND]" each:
# every test first adds its name to DIR/ran, then runs the command in DIR. Lines that
# start with "set_tests_properties" are kept as they are.
standins() {
  local dir=$1 name command
  mkdir -p "$dir"
  : > "$dir/ran"
  while read -r name command; do
    if [[ $name == set_tests_properties* ]]; then
      echo "$name $command"
    else
      command=${command//\\/\\\\}
      echo "add_test($name sh -c \"echo $name >> ran; ${command//\"/\\\"}\")"
    fi
  done > "$dir/CTestTestfile.cmake"
}

# The names in DIR/ran, or those `ctest -N` lists with the given arguments, sorted.
ran() { sort "$1/ran"; }
listed() {
  local dir=$1
  shift
  (cd "$dir" && ctest -N "$@") | sed -n 's/^ *Test *#[0-9]*: //p' | sort
}

# Runs the launcher on a folder at the given instants with the given ctest arguments:
# `launch DIR INSTANT... [-- ARGUMENTS]`. Sets `out` and `status`.
launch() {
  local dir=$1
  shift
  : > "$dir/ran"
  status=0
  out=$(timeout 60 "$launcher" "$dir" "$dir/logs" "$@" 2>&1) || status=$?
}

# Waits up to SECONDS for the command to succeed; fails otherwise.
wait_for() {
  local seconds=$1 tenths=0
  shift
  until "$@"; do
    [ $tenths -lt $((seconds * 10)) ] || return 1
    sleep 0.1
    tenths=$((tenths + 1))
  done
}
# The processes still alive with MARK in their environment (zombies are not).
marked() {
  local f pid
  for f in /proc/[0-9]*/environ; do
    pid=$(basename "$(dirname "$f")")
    if grep -qzxF "SWEEP_CHECK_MARK=$1" "$f" 2> /dev/null && ps -o stat= -p "$pid" 2> /dev/null | grep -qv '^Z'; then
      echo "$pid"
    fi
  done
}

# Starts COMMAND... with job control, so in a process group of its own, as a shell's
# foreground job stands in one, with MARK in its environment; waits until WAITFILE has
# COUNT lines, sends SIGNAL to the group (INT) or to the process alone (TERM), and checks
# that it ends non-zero, with nothing of it left running, no work folder in LOGS and no
# shared memory of the ctests whose process ids the tests wrote to PIDS.
interrupt() {
  local signal=$1 mark=$2 waitfile=$3 count=$4 logs=$5 pids=$6
  shift 6
  set -m
  env SWEEP_CHECK_MARK="$mark" "$@" > "$scratch/interrupted.out" 2>&1 &
  local pid=$! status=0 pidof was=$failed
  set +m
  if ! wait_for 30 eval '[ -f "$waitfile" ] && [ "$(wc -l < "$waitfile")" -ge '"$count"' ]'; then
    fail "$signal: the tests to interrupt did not start"
  elif [ "$signal" = INT ]; then
    kill -INT -- "-$pid"
  else
    kill -TERM "$pid"
  fi
  if ! wait_for 20 eval '! kill -0 '"$pid"' 2> /dev/null || ps -o stat= -p '"$pid"' | grep -q "^Z"'; then
    fail "$signal: $* was still running 20 s after the signal"
    kill -KILL -- "-$pid" 2> /dev/null
  fi
  wait "$pid" || status=$?
  [ "$status" -ne 0 ] || fail "$signal: $* ended with 0 when interrupted"
  local left
  left=$(marked "$mark")
  if [ -n "$left" ]; then
    fail "$signal: processes $* started still run after it ended: $(ps -o pid=,args= -p "$(paste -sd, <<< "$left")")"
    kill -KILL $left 2> /dev/null
  fi
  ! compgen -G "$logs/running-*" > /dev/null || fail "$signal: the work folder was left in $logs"
  for pidof in $(cat "$pids" 2> /dev/null); do
    [ ! -e "/dev/shm/faketime_shm_$pidof" ] && [ ! -e "/dev/shm/sem.faketime_sem_$pidof" ] ||
      fail "$signal: libfaketime's shared memory of the ended ctest $pidof was left in /dev/shm"
    rm -f "/dev/shm/faketime_shm_$pidof" "/dev/shm/sem.faketime_sem_$pidof"
  done
  [ "$failed" = "$was" ] || { echo "Its output:"; cat "$scratch/interrupted.out"; }
}

utc="UTC|2026-06-15 23:59:50 +0000"
noon_after="UTC|2026-06-16 12:00:00 +0000"
santiago="America/Santiago|2026-09-06 12:00:00 -0300"
santiago_epoch=1788706800

case $check in
instants)
  mkdir "$scratch/probes"
  cat > "$scratch/probes/CTestTestfile.cmake" <<CMAKE
add_test(Probe.first "$probe" --hold 2)
add_test(Probe.second "$probe" --hold 2)
add_test(Probe.third "$probe" --hold 2)
add_test(Probe.fourth "$probe" --hold 2)
add_test(Probe.fifth "$probe")
add_test(Probe.failsAtSantiagoNoon "$probe" --fail-at $santiago_epoch)
add_test(Left.out sh -c "exit 1")
set_tests_properties(Probe.first Probe.second Probe.third Probe.fourth Probe.fifth
  Probe.failsAtSantiagoNoon Left.out PROPERTIES TIMEOUT 20)
CMAKE
  start=$(date +%s%N)
  status=0
  output=$(ORVANE_JOBS=2 timeout 120 "$launcher" "$scratch/probes" "$scratch/logs" "$utc" "$santiago" \
           -- -E '^Left\.' 2>&1) || status=$?
  elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  echo "The launcher's output (one failure, at Santiago, is meant):"
  echo "$output"
  [ "$status" -eq 1 ] || fail "the launcher ended with $status, not 1 (a test failed)"
  grep -qF "PASS  ${utc/|/ }: 6 tests passed in " <<< "$output" ||
    fail "not every probe read $utc within a second of its start, or the left-out test ran"
  under_santiago=$(awk -v head="FAIL  ${santiago/|/ }: 1 of 6 tests failed" \
                     'index($0, head) == 1 { on = 1; next } /^[^ ]/ { on = 0 } on' <<< "$output")
  [ "$under_santiago" = "$(grep '^      #' <<< "$output")" ] &&
    [ "$(wc -l <<< "$under_santiago")" -eq 1 ] && grep -q ' Probe\.failsAtSantiagoNoon ' <<< "$under_santiago" ||
    fail "the run does not name Probe.failsAtSantiagoNoon alone, under $santiago"
  grep -q 'read 2026-09-06 12:00:00 local' "$scratch/logs/"*Santiago*.log 2> /dev/null ||
    fail "the failing probe did not read Santiago's noon in its own zone"
  [ "$elapsed_ms" -ge 8000 ] ||
    fail "the run took $elapsed_ms ms: the probes did not start seconds apart, two at a time"
  [ "$failed" -eq 0 ] && echo "The launcher started every probe at its instant"
  ;;

choice)
  # Filters that leave out tests before others renumber the list ctest -N prints.
  folder=$scratch/choice
  standins "$folder" <<'TESTS'
Slow.skipMe
Quick.ok
Quick.breaksAtTheInstant exit 1
Other.ok
Other.last
set_tests_properties(Slow.skipMe PROPERTIES LABELS slow)
set_tests_properties(Quick.ok Quick.breaksAtTheInstant PROPERTIES LABELS fast)
set_tests_properties(Other.ok PROPERTIES LABELS "fast;other")
TESTS
  for filters in "-E Slow" "-E Quick" "-E ^Quick\.ok$" "-R Quick" "-R Other" "-L fast" "-LE slow" "-LE fast" \
                 "-L fast -E Quick" "-R Quick -E ok" "-LE other -E Slow" "-R [kt]$ -LE slow -E Other"; do
    read -ra words <<< "$filters"
    launch "$folder" "$utc" -- "${words[@]}"
    expected=$(listed "$folder" "${words[@]}")
    if [ "$(ran "$folder")" != "$expected" ]; then
      fail "with $filters, ran [$(ran "$folder" | paste -sd ' ')], not [$(paste -sd ' ' <<< "$expected")]"
    fi
    if grep -qx Quick.breaksAtTheInstant <<< "$expected"; then
      [ "$status" -eq 1 ] && [ "$(grep -c '^      #' <<< "$out")" -eq 1 ] &&
        grep -qx '      #3 Quick.breaksAtTheInstant (Failed; ctest exit 8)' <<< "$out" ||
        fail "with $filters, the run did not fail naming Quick.breaksAtTheInstant alone: $out"
    else
      [ "$status" -eq 0 ] && grep -qF "PASS  ${utc/|/ }: $(wc -l <<< "$expected") tests passed in " <<< "$out" ||
        fail "with $filters, the run did not pass its $(wc -l <<< "$expected") tests: $out"
    fi
    while read -r name; do
      grep -qE "^1/1 Test +#[0-9]+: ${name//./\\.} .*(Passed|Failed) " "$folder/logs/"*.log ||
        fail "with $filters, the log has no result line of $name"
    done <<< "$expected"
  done

  # Nothing to run is an error, not a pass.
  for filters in "-R NoSuchTest" "-L nolabel" "-E ." "-R Quick -LE fast"; do
    read -ra words <<< "$filters"
    launch "$folder" "$utc" -- "${words[@]}"
    [ "$status" -eq 2 ] && grep -q '^No tests were found' <<< "$out" && [ ! -s "$folder/ran" ] ||
      fail "with $filters, which chooses no test, the launcher ended with $status: $out"
  done

  # A chosen test that one ctest per test cannot keep stops the run before it starts;
  # one left out does not.
  folder=$scratch/kept
  standins "$folder" <<'TESTS'
Plain.ok
Has.runSerial
Has.resourceLock
Has.resourceGroups
Has.fixtureSetup
Has.fixtureCleanup
Has.fixtureRequired
Has.depends
set_tests_properties(Has.runSerial PROPERTIES RUN_SERIAL TRUE)
set_tests_properties(Has.resourceLock PROPERTIES RESOURCE_LOCK store)
set_tests_properties(Has.resourceGroups PROPERTIES RESOURCE_GROUPS "1,slots:1")
set_tests_properties(Has.fixtureSetup PROPERTIES FIXTURES_SETUP store)
set_tests_properties(Has.fixtureCleanup PROPERTIES FIXTURES_CLEANUP store)
set_tests_properties(Has.fixtureRequired PROPERTIES FIXTURES_REQUIRED store)
set_tests_properties(Has.depends PROPERTIES DEPENDS Plain.ok)
TESTS
  for property in runSerial:RUN_SERIAL resourceLock:RESOURCE_LOCK resourceGroups:RESOURCE_GROUPS \
                  fixtureSetup:FIXTURES_SETUP fixtureCleanup:FIXTURES_CLEANUP \
                  fixtureRequired:FIXTURES_REQUIRED depends:DEPENDS; do
    launch "$folder" "$utc" -- -R "^(Plain\.ok|Has\.${property%%:*})$"
    [ "$status" -eq 2 ] && grep -qE "have ([A-Z_]+ )*${property#*:}( [A-Z_]+)*: a run of one ctest per test cannot keep" <<< "$out" &&
      [ ! -s "$folder/ran" ] || fail "a chosen test with ${property#*:} did not stop the run: $status, $out"
  done
  launch "$folder" "$utc" -- -E '^Has\.'
  [ "$status" -eq 0 ] && [ "$(ran "$folder")" = Plain.ok ] ||
    fail "tests left out stopped the run of the others: $status, $out"

  # A job count that is not a whole number above 0 is refused (xargs -P 0 would start
  # every test at once).
  for jobs in 0 two -1 1.5; do
    : > "$folder/ran"
    status=0
    out=$(ORVANE_JOBS=$jobs timeout 60 "$launcher" "$folder" "$folder/logs" "$utc" -- -E '^Has\.' 2>&1) || status=$?
    [ "$status" -eq 2 ] && [ ! -s "$folder/ran" ] || fail "ORVANE_JOBS=$jobs was taken: $status, $out"
  done
  ;;

failures)
  # Each fails in its own way at 23:xx UTC only, so at the first instant and not the last.
  folder=$scratch/failures
  standins "$folder" <<'TESTS'
At23.fails [ "$(date -u +%H)" != 23 ]
At23.timesOut [ "$(date -u +%H)" != 23 ] || exec sleep 70
At23.crashes [ "$(date -u +%H)" != 23 ] || kill -SEGV $$
Always.ok
set_tests_properties(At23.timesOut PROPERTIES TIMEOUT 2)
TESTS
  launch "$folder" "$utc" "$noon_after"
  echo "The launcher's output (three failures, at the first instant, are meant):"
  echo "$out"
  [ "$status" -eq 1 ] || fail "the launcher ended with $status, not 1, when the first of two instants failed"
  expected="FAIL  ${utc/|/ }: 3 of 4 tests failed in
      #1 At23.fails (Failed; ctest exit 8)
      #2 At23.timesOut (Timeout; ctest exit 8)
      #3 At23.crashes (Exception: SegFault; ctest exit 8)
PASS  ${noon_after/|/ }: 4 tests passed in"
  [ "$(sed -E 's/ in [0-9]+ s.*/ in/' <<< "$out")" = "$expected" ] ||
    fail "the run does not name the three failures at the first instant, and only there"

  # A ctest that finds no test under the number it was given ends with 0; that is no
  # pass. Here the first test takes the last out of the folder before its turn comes.
  folder=$scratch/vanishing
  standins "$folder" <<'TESTS'
Vanish.first sed -i /Vanish.gone/d CTestTestfile.cmake
Vanish.ok
Vanish.gone
TESTS
  ORVANE_JOBS=1 launch "$folder" "$utc"
  [ "$status" -eq 1 ] && grep -qx '      #3 Vanish.gone (no result line of its own; ctest exit 0)' <<< "$out" ||
    fail "a test that did not run passed: $status, $out"
  ;;

interrupts)
  folder=$scratch/holding
  standins "$folder" <<'TESTS'
Hold.one echo $PPID >> pids; exec sleep 71
Hold.two echo $PPID >> pids; exec sleep 72
Hold.three echo $PPID >> pids; exec sleep 73
set_tests_properties(Hold.one Hold.two Hold.three PROPERTIES TIMEOUT 90)
TESTS
  for signal in INT TERM; do
    rm -f "$folder/pids"
    ORVANE_JOBS=2 interrupt "$signal" "$scratch/$signal" "$folder/pids" 2 "$folder/logs" "$folder/pids" \
      "$launcher" "$folder" "$folder/logs" "$utc" "$noon_after"
  done
  ;;

clock-sweep)
  # A scratch copy of the scripts beside a stand-in project whose tests write their
  # names (and, told to hold, their home folder) to files of the project.
  repo=$scratch/repo
  mkdir -p "$repo/scripts"
  cp "$scripts/clock-sweep.sh" "$scripts/ctest-at-instants.sh" "$scripts/test-env.sh" "$repo/scripts/"
  echo 'true' > "$repo/scripts/setup.sh"
  cat > "$repo/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(StandIn NONE)
enable_testing()
if(EXISTS "${CMAKE_SOURCE_DIR}/broken")
  add_custom_target(broken ALL COMMAND sh -c "echo 'stand-in.cpp:7:1: error: expected a stand-in' >&2" COMMAND false)
endif()
add_custom_target(slow ALL COMMAND sh build-step.sh WORKING_DIRECTORY "${CMAKE_SOURCE_DIR}")
foreach(name Unit.left Unit.one Unit.two Program.whole Program.window Program.sanitize Program.sweep)
  add_test(NAME ${name} COMMAND sh -c "echo ${name} >> '${CMAKE_SOURCE_DIR}/ran'; if [ -e '${CMAKE_SOURCE_DIR}/hold' ]; then echo $PPID >> '${CMAKE_SOURCE_DIR}/pids'; echo $HOME >> '${CMAKE_SOURCE_DIR}/homes'; exec sleep 74; fi")
endforeach()
set_tests_properties(Program.whole PROPERTIES LABELS whole)
set_tests_properties(Program.window PROPERTIES LABELS "ui;window")
set_tests_properties(Program.sanitize PROPERTIES LABELS sanitize)
set_tests_properties(Program.sweep PROPERTIES LABELS sweep)
CMAKE
  echo 'if [ -e hold-build ]; then echo building >> building; exec sleep 75; fi' > "$repo/build-step.sh"
  sweep() {
    : > "$repo/ran"
    status=0
    out=$(ORVANE_JOBS=4 timeout 120 "$repo/scripts/clock-sweep.sh" "$@" 2>&1) || status=$?
  }

  sweep -E left
  instants=$(grep -cE '^(PASS|FAIL)  ' <<< "$out")
  [ "$status" -eq 0 ] && [ "$instants" -gt 1 ] &&
    [ "$(grep -c '^PASS  .*: 2 tests passed in' <<< "$out")" -eq "$instants" ] ||
    fail "the sweep with -E left did not pass its two tests at every instant: $status, $out"
  expected=$(for _ in $(seq "$instants"); do printf 'Unit.one\nUnit.two\n'; done | sort)
  [ "$(ran "$repo")" = "$expected" ] ||
    fail "the sweep with -E left ran [$(ran "$repo" | uniq -c | paste -sd ' ')], not Unit.one and Unit.two $instants times each"

  touch "$repo/broken"
  sweep
  [ "$status" -ne 0 ] && grep -q 'stand-in.cpp:7:1: error: expected a stand-in' <<< "$out" &&
    ! grep -q '^PASS' <<< "$out" && [ ! -s "$repo/ran" ] ||
    fail "after a failed build the sweep ended with $status, ran [$(ran "$repo" | sort -u | paste -sd ' ')] or did not show the build's errors: $out"
  rm "$repo/broken"

  sweep -R NoSuchTest
  [ "$status" -ne 0 ] && [ ! -s "$repo/ran" ] || fail "the sweep passed a choice of no test: $out"

  # Interrupted while it builds, and while its tests run.
  touch "$repo/hold-build"
  for signal in INT TERM; do
    rm -f "$repo/building"
    ORVANE_JOBS=2 interrupt "$signal" "$scratch/build-$signal" "$repo/building" 1 "$repo/build-test/clock-sweep" \
      /dev/null "$repo/scripts/clock-sweep.sh"
    [ ! -s "$repo/ran" ] || fail "$signal: tests ran after the build was interrupted"
  done
  rm "$repo/hold-build"
  touch "$repo/hold"
  for signal in INT TERM; do
    rm -f "$repo/homes" "$repo/pids"
    ORVANE_JOBS=2 interrupt "$signal" "$scratch/sweep-$signal" "$repo/homes" 2 "$repo/build-test/clock-sweep" \
      "$repo/pids" "$repo/scripts/clock-sweep.sh" -R '^Unit\.'
    while read -r home; do
      [ ! -e "$(dirname "$home")" ] || fail "$signal: the sweep left its scratch folder $(dirname "$home")"
    done < <(sort -u "$repo/homes" 2> /dev/null)
  done
  ;;

*)
  echo "unknown case $check" >&2
  exit 2
  ;;
esac
exit $failed
