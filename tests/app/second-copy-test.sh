#!/bin/bash
# A second copy on the same profile hands over to the first: it exits 0 (its time is
# printed), writes nothing into the data folder, and the first copy raises its window
# above a window that covered it. Every wait is for the thing itself, with a limit.
# Usage (inside xvfb-run): second-copy-test.sh ORVANE
set -u
ORVANE=$1
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
source "$(dirname "$0")/window-common.sh"

"$ORVANE" &
FIRST=$!
WIN=$(wait_for_window) || { kill $FIRST; fail "no window titled QNMR Orvane"; }
DATA="$XDG_DATA_HOME/QNMR Orvane"
wait_until 10 test -f "$DATA/Greenhouse.sqlite" || { kill $FIRST; fail "no store in the data folder"; }
BEFORE=$(ls -l --full-time "$DATA"; sha256sum "$DATA"/*)

# Cover the window with a plain magenta one (without a window manager, X refuses
# focus changes made with an older timestamp, so stacking is what can be checked).
convert -size 1600x1000 xc:magenta "$SCRATCH/cover.png"
display -geometry +0+0 -title cover "$SCRATCH/cover.png" &
COVER=$!
pixel() { import -window root "$SCRATCH/shot.png"; convert "$SCRATCH/shot.png" -format '%[pixel:p{700,400}]' info:; }
COVERED=
covered() { COVERED=$(pixel); [ "$COVERED" = "magenta" ] || [ "$COVERED" = "srgb(255,0,255)" ]; }
wait_until 10 covered || { kill $FIRST $COVER; fail "the cover never showed ($COVERED)"; }
START=$(date +%s%N)
"$ORVANE" &
SECOND=$!
wait_exit $SECOND 15; CODE=$EXIT_CODE
ELAPSED=$(( ($(date +%s%N) - START) / 1000000 ))
[ "$CODE" = "0" ] || { kill $FIRST; fail "second copy: $CODE after $ELAPSED ms"; }

AFTER=$(ls -l --full-time "$DATA"; sha256sum "$DATA"/*)
[ "$BEFORE" = "$AFTER" ] || { kill $FIRST; fail "the data folder changed"; }

RAISED=
raised() { RAISED=$(pixel); [ "$RAISED" != "$COVERED" ]; }
wait_until 10 raised
kill $COVER; echo "pixel covered: $COVERED, after: $RAISED"
[ "$COVERED" != "$RAISED" ] || { kill $FIRST; fail "the first copy did not come to the front ($COVERED)"; }

xdotool windowfocus --sync "$WIN"; xdotool key ctrl+q
wait_exit $FIRST 10; CODE=$EXIT_CODE
[ "$CODE" = "0" ] || fail "first copy exit: $CODE"
echo "second copy test passed ($ELAPSED ms)"
