#!/bin/bash
# OV_DB_PATH on a 1 KB garbage file: the file stays byte for byte, the window opens on
# "Greenhouse (opened <today>).sqlite" in the data folder. With the data folder
# impossible to create as well: the message naming both failures on stderr, exit 1,
# no window.
# Usage (inside xvfb-run): fallback-test.sh ORVANE
set -u
ORVANE=$1
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
source "$(dirname "$0")/window-common.sh"

GARBAGE="$SCRATCH/garbage.sqlite"
head -c 1024 /dev/urandom > "$GARBAGE"
SUM=$(sha256sum < "$GARBAGE")

# The program names the file after the day it started on; started just before
# midnight, the window may come up on the next day, so either day's file will do.
STARTED_ON=$(date +%F)
OV_DB_PATH="$GARBAGE" "$ORVANE" &
PID=$!
WIN=$(wait_for_window) || { kill $PID; fail "no window"; }
fallback_of() { echo "$XDG_DATA_HOME/QNMR Orvane/Greenhouse (opened $1).sqlite"; }
FALLBACK=$(fallback_of "$STARTED_ON")
[ -f "$FALLBACK" ] || FALLBACK=$(fallback_of "$(date +%F)")
[ -f "$FALLBACK" ] || { kill $PID; fail "missing $(fallback_of "$STARTED_ON")"; }
[ "$(sha256sum < "$GARBAGE")" = "$SUM" ] || { kill $PID; fail "the garbage file changed"; }
# The notice is up beside the window, titled the same: answer it, then quit.
WINDOWS=
two_windows() { WINDOWS=$(xdotool search --onlyvisible --name '^QNMR Orvane$' 2>/dev/null); [ "$(echo "$WINDOWS" | wc -l)" = "2" ]; }
wait_until 10 two_windows || { kill $PID; fail "no notice window"; }
for id in $WINDOWS; do
    [ "$id" = "$WIN" ] && continue
    xdotool windowfocus --sync "$id"; xdotool key Return
done
one_window() { [ "$(xdotool search --onlyvisible --name '^QNMR Orvane$' 2>/dev/null | wc -l)" = "1" ]; }
wait_until 10 one_window || { kill $PID; fail "the notice stayed"; }
xdotool windowfocus --sync "$WIN"; xdotool key ctrl+q
wait_exit $PID 10; CODE=$EXIT_CODE
[ "$CODE" = "0" ] || fail "exit: $CODE"

# A data folder below a plain file cannot be made, not even by root.
touch "$SCRATCH/plain-file"
ERR=$(XDG_DATA_HOME="$SCRATCH/plain-file/data" OV_DB_PATH="$GARBAGE" QT_QPA_PLATFORM=offscreen timeout 10 "$ORVANE" 2>&1 >/dev/null)
CODE=$?
[ "$CODE" = "1" ] || fail "exit with neither store: $CODE"
echo "$ERR" | grep -q "could not be opened" || fail "no message on stderr: $ERR"
echo "$ERR" | grep -qF "$GARBAGE" || fail "the message does not name the file: $ERR"
[ "$(sha256sum < "$GARBAGE")" = "$SUM" ] || fail "the garbage file changed"
echo "fallback test passed"
