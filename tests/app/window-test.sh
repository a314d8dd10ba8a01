#!/bin/bash
# The real program on a virtual X display: its window appears, Ctrl+4 and Ctrl+7 switch
# screens (each screenshot differs from the one before), Ctrl+Q quits with 0 within
# 10 s, and nothing is written outside the scratch profile.
# Usage (inside xvfb-run): window-test.sh ORVANE OUTPUT_FOLDER
set -u
ORVANE=$1
OUT=$2
SCRATCH=$(mktemp -d)
trap 'rm -rf "$SCRATCH"' EXIT
source "$(dirname "$0")/window-common.sh"
mkdir -p "$OUT"

"$ORVANE" &
PID=$!
WIN=$(wait_for_window) || { kill $PID; fail "no window titled QNMR Orvane"; }
xdotool windowfocus --sync "$WIN"
sleep 0.5
import -window root "$OUT/window-start.png"
xdotool key ctrl+4; sleep 0.5
import -window root "$OUT/window-climate.png"
xdotool key ctrl+7; sleep 0.5
import -window root "$OUT/window-harvests.png"

differ() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1)" != "0" ]; }
differ "$OUT/window-start.png" "$OUT/window-climate.png" || fail "Ctrl+4 changed nothing"
differ "$OUT/window-climate.png" "$OUT/window-harvests.png" || fail "Ctrl+7 changed nothing"

xdotool key ctrl+q
wait_exit $PID 10; CODE=$EXIT_CODE
[ "$CODE" = "0" ] || fail "exit after Ctrl+Q: $CODE"

[ -f "$XDG_DATA_HOME/QNMR Orvane/Greenhouse.sqlite" ] || fail "the store is not in the scratch data folder"
# Everything the program wrote lies under the scratch folders.
OUTSIDE=$(find "$SCRATCH" -newer "$0" -type f | grep -v -e "^$XDG_DATA_HOME/" -e "^$XDG_CONFIG_HOME/" \
    -e "^$XDG_CACHE_HOME/" -e "^$XDG_RUNTIME_DIR/" -e "^$HOME/" || true)
[ -z "$OUTSIDE" ] || fail "unexpected files: $OUTSIDE"
echo "window test passed"
