#!/usr/bin/env bash
# Checks the clock sweep's launcher (scripts/ctest-at-instants.sh) on a CTest folder of
# probes (ClockProbe.cpp) at two instants, two tests at a time. Probes that hold their
# job slot for two seconds make the later ones start two and four seconds after the
# first in real time; every probe must still read its instant within a second, and the
# one made to fail at the second instant must fail the run, named under that instant.
# Usage: sweep-check.sh LAUNCHER PROBE
set -uo pipefail
launcher=$1
probe=$(realpath "$2")
source "$(dirname "$launcher")/test-env.sh"
find_libfaketime >/dev/null || { echo "SKIPPED: libfaketime missing (Debian package faketime)"; exit 0; }

scratch=$(mktemp -d /tmp/ov-sweep-check-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
utc="UTC|2026-06-15 23:59:50 +0000"
santiago="America/Santiago|2026-09-06 12:00:00 -0300"
santiago_epoch=1788706800

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

failed=0
fail() { echo "FAIL: $*"; failed=1; }
[ "$status" -eq 1 ] || fail "the launcher ended with $status, not 1 (a test failed)"
grep -qF "PASS  ${utc/|/ }: 6 tests passed in " <<< "$output" ||
  fail "not every probe read $utc within a second of its start, or the left-out test ran"
under_santiago=$(awk -v head="FAIL  ${santiago/|/ }: 1 of 6 tests failed" \
                   'index($0, head) == 1 { on = 1; next } /^[^ ]/ { on = 0 } on' <<< "$output")
[ "$under_santiago" = "$(grep '^      #' <<< "$output")" ] &&
  [ "$(wc -l <<< "$under_santiago")" -eq 1 ] && grep -q ' Probe\.failsAtSantiagoNoon ' <<< "$under_santiago" ||
  fail "the run does not name Probe.failsAtSantiagoNoon alone, under $santiago"
grep -q 'read 2026-09-06 12:00:00 local' "$scratch/logs/"*Santiago*.log 2>/dev/null ||
  fail "the failing probe did not read Santiago's noon in its own zone"
[ "$elapsed_ms" -ge 8000 ] ||
  fail "the run took $elapsed_ms ms: the probes did not start seconds apart, two at a time"
[ "$failed" -eq 0 ] && echo "The launcher started every probe at its instant"
exit $failed
