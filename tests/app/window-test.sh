#!/bin/bash
# The real program on a virtual X display: its window appears, Ctrl+4 and Ctrl+7 switch
# screens (the screen changes within 10 s of each key), the wheel scrolls a long page
# inside the window while the rail and the page header stay, Ctrl+Q quits with 0
# within 10 s, and nothing is written outside the scratch profile.
# The screenshots go to OUTPUT_FOLDER when given, else to $OV_LOOK_DIR/window when that
# is set, else to the scratch folder (removed at the end).
# Usage (inside xvfb-run): window-test.sh ORVANE [OUTPUT_FOLDER]
set -u
ORVANE=$1
SCRATCH=$(mktemp -d)
OUT=${2:-${OV_LOOK_DIR:+$OV_LOOK_DIR/window}}
OUT=${OUT:-$SCRATCH/shots}
trap 'rm -rf "$SCRATCH"' EXIT
source "$(dirname "$0")/window-common.sh"
mkdir -p "$OUT"

"$ORVANE" &
PID=$!
WIN=$(wait_for_window) || { kill $PID; fail "no window titled QNMR Orvane"; }
xdotool windowfocus --sync "$WIN"

differ() { [ "$(compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1)" != "0" ]; }
# Takes screenshots until two in a row are alike (the window has finished drawing)
# or 3 s have passed (a blinking caret never settles), and keeps the last as $1.
steady() {
    local out=$1 next="$OUT/steady-next.png"
    import -window root "$out"
    for _ in $(seq 30); do
        sleep 0.1
        import -window root "$next"
        differ "$out" "$next" || break
        mv "$next" "$out"
    done
    rm -f "$next"
}
# Presses a key, waits (10 s at most) until the screen differs from the shot before
# it, then until it is steady again, and keeps that as $3.
after_key() {
    local key=$1 before=$2 out=$3
    xdotool key "$key"
    changed() { import -window root "$out"; differ "$before" "$out"; }
    wait_until 10 changed || return 1
    steady "$out"
}

steady "$OUT/window-start.png"
after_key ctrl+4 "$OUT/window-start.png" "$OUT/window-climate.png" || fail "Ctrl+4 changed nothing"
after_key ctrl+7 "$OUT/window-climate.png" "$OUT/window-harvests.png" || fail "Ctrl+7 changed nothing"

# A long page (the crop library) scrolls inside itself: the wheel over its body moves
# the rows while the side rail and the page header stay as they were, and the page
# picked again later opens at its top.
eval "$(xdotool getwindowgeometry --shell "$WIN")"
xdotool mousemove $((X + 800)) $((Y + 500))
after_key ctrl+9 "$OUT/window-harvests.png" "$OUT/window-library.png" || fail "Ctrl+9 changed nothing"
# Whether screenshots $2 and $3 differ inside the window's side rail, page header or
# page body ($1).
differ_in() {
    local geometry
    case $1 in
        rail) geometry=230x$((HEIGHT - 40))+$X+$((Y + 30)) ;;
        header) geometry=$((WIDTH - 270))x70+$((X + 245))+$((Y + 25)) ;;
        body) geometry=$((WIDTH - 270))x$((HEIGHT - 140))+$((X + 245))+$((Y + 120)) ;;
    esac
    [ "$(compare -metric AE -extract "$geometry" "$2" "$3" null: 2>&1 | cut -d' ' -f1)" != "0" ]
}
wheeled() {
    xdotool click --repeat 5 5
    import -window root "$OUT/window-library-scrolled.png"
    differ "$OUT/window-library.png" "$OUT/window-library-scrolled.png"
}
wait_until 10 wheeled || fail "the wheel over the crop library moved nothing"
steady "$OUT/window-library-scrolled.png"
BEFORE=$OUT/window-library.png AFTER=$OUT/window-library-scrolled.png
differ_in rail "$BEFORE" "$AFTER" && fail "the side rail moved with the page"
differ_in header "$BEFORE" "$AFTER" && fail "the page header moved with the page"
differ_in body "$BEFORE" "$AFTER" || fail "the page body did not scroll"
after_key ctrl+3 "$AFTER" "$OUT/window-plants.png" || fail "Ctrl+3 changed nothing"
after_key ctrl+9 "$OUT/window-plants.png" "$OUT/window-library-again.png" || fail "Ctrl+9 changed nothing"
differ_in body "$BEFORE" "$OUT/window-library-again.png" && fail "the crop library opened where it was scrolled to"

xdotool key ctrl+q
wait_exit $PID 10; CODE=$EXIT_CODE
[ "$CODE" = "0" ] || fail "exit after Ctrl+Q: $CODE"

[ -f "$XDG_DATA_HOME/QNMR Orvane/Greenhouse.sqlite" ] || fail "the store is not in the scratch data folder"
# Everything the program wrote lies under the scratch folders.
OUTSIDE=$(find "$SCRATCH" -newer "$0" -type f | grep -v -e "^$XDG_DATA_HOME/" -e "^$XDG_CONFIG_HOME/" \
    -e "^$XDG_CACHE_HOME/" -e "^$XDG_RUNTIME_DIR/" -e "^$HOME/" -e "^$SCRATCH/shots/" || true)
[ -z "$OUTSIDE" ] || fail "unexpected files: $OUTSIDE"
echo "window test passed"
