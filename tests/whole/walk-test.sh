#!/bin/bash
# Walks the whole program in a real window as a grower would, with keys and clicks
# only: the sample greenhouse, every screen, every File → New sheet (typed into and
# saved, or cancelled), a CSV import, a theme, zoom (and a sheet saved with Return at
# 150 %), help and its search, About, a backup, then Ctrl+Q. A screenshot follows each step. Passes when the program exits
# 0, the database is sound and holds what was typed, and no screenshot is blank.
# The screenshots go to OUTPUT_FOLDER when given, else to $OV_LOOK_DIR/walk when that
# is set, else to the scratch folder (removed at the end).
# Usage (inside xvfb-run): walk-test.sh ORVANE [OUTPUT_FOLDER]
set -u
ORVANE=$1
SCRATCH=$(mktemp -d)
OUT=${2:-${OV_LOOK_DIR:+$OV_LOOK_DIR/walk}}
OUT=${OUT:-$SCRATCH/shots}
trap 'rm -rf "$SCRATCH"' EXIT
source "$(dirname "$0")/whole-common.sh"
rm -f "$OUT"/*.png

"$ORVANE" &
PID=$!
WIN=$(wait_for_window) || { kill $PID; fail "no window titled QNMR Orvane"; }
xdotool windowfocus --sync "$WIN"
sleep 1
shot start

# Today's welcome card: "Explore With a Sample Greenhouse".
click 635 309
sleep 1.5
shot sample
[ "$(sqlite3 "$DB" 'SELECT count(*) FROM greenhouse')" -ge 1 ] || fail "the sample greenhouse was not added"
READINGS=$(sqlite3 "$DB" 'SELECT count(*) FROM reading')

# The nine numbered screens, then the five after the divider from the Go menu.
for n in 1 2 3 4 5 6 7 8 9; do
    press "ctrl+$n"
    sleep 0.6
    alive "Ctrl+$n"
    shot "screen-$n"
done
for n in 10 11 12 13 14; do
    menu_item Go $n
    alive "Go item $n"
    shot "go-$n"
done
press ctrl+1
sleep 0.5

# File → New …: each sheet opens; the first ones are typed into and saved with Return.
press ctrl+n; sleep 1; shot plant-sheet
type_at 548 154 'Walk Tomato'
xdotool key Return; sleep 1; shot plant-saved

press ctrl+shift+r; sleep 1; shot reading-sheet
type_at 677 261 '71.5'
xdotool key Return; sleep 1; shot reading-saved

menu_item File 4; shot greenhouse-sheet
type_at 673 310 'Walk Greenhouse'
xdotool key Return; sleep 1; shot greenhouse-saved

menu_item File 5; shot harvest-sheet
type_at 675 341 'Walk Beans'
type_at 481 422 '3'
xdotool key Return; sleep 1; shot harvest-saved

menu_item File 6; shot pest-sheet
type_at 673 243 'Walk Aphids'
xdotool key Return; sleep 1; shot pest-saved

menu_item File 7; shot cost-sheet
type_at 675 300 'Walk Compost'
type_at 681 365 '9.50'
xdotool key Return; sleep 1; shot cost-saved

# A sheet cancelled with Escape leaves nothing behind.
press ctrl+n; sleep 1
type_at 548 154 'Walk Cancelled'
xdotool key Escape; sleep 0.8; shot plant-cancelled

# Import Climate CSV…: choose a file in the file dialog, then Import.
CSV="$SCRATCH/walk.csv"
printf 'timestamp,temp_f,humidity\n2026-01-05 08:00,61.5,70\n2026-01-05 09:00,63.0,68\n' > "$CSV"
press ctrl+shift+i; sleep 1; shot import-sheet
click 432 432
file_dialog "$CSV" 'Choose a CSV file'
shot import-chosen
click 960 638
sleep 1; shot import-done
# Import turned into Close, a line lower (the result line above it).
click 962 664
sleep 0.8
shot import-closed

# Theme menu: the second theme.
menu_item Theme 2; alive theme; shot theme

# Zoom In, then Actual Size.
press ctrl+plus; sleep 1; alive "zoom in"; shot zoom-in
press ctrl+0; sleep 1; shot actual-size

# At 150 % the New Plant sheet still fits the screen: crop typed, library match
# chosen, sown today, Fill From Crop Library clicked, then Return (with the focus
# still on Fill) saves it. Back to 100 % after.
press ctrl+plus; sleep 0.5; press ctrl+plus; sleep 0.5; press ctrl+plus; sleep 1
press ctrl+n; sleep 1.5; shot plant-sheet-150
type_at 493 137 'Walk Zoom Tomato'
click 964 150; sleep 0.5
xdotool type --delay 30 'Tomato'; xdotool key Return; sleep 0.5
click 227 449; sleep 0.5
click 1014 560; sleep 0.5; shot plant-filled-150
xdotool key Return; sleep 1; alive "Return at 150 %"; shot plant-saved-150
press ctrl+0; sleep 1

# F1: the help window, and a search in it.
press F1
wait_title 'QNMR Orvane Help' || fail "F1 opened no help window"
sleep 1; shot help
HELP=$(xdotool search --onlyvisible --name 'QNMR Orvane Help' | head -1)
xdotool windowfocus "$HELP" 2>/dev/null
xdotool key ctrl+f
xdotool type --delay 20 'backup'
sleep 1; alive "help search"; shot help-search
xdotool windowunmap "$HELP"
sleep 0.5

# Help → About (the last item of the Help menu).
xdotool mousemove "$(menu_x Help)" 8 click 1; sleep 0.4
xdotool key Up Return
wait_title '^About QNMR Orvane$' || fail "no About window"
sleep 0.8; shot about
ABOUT=$(xdotool search --onlyvisible --name '^About QNMR Orvane$' | head -1)
xdotool windowunmap "$ABOUT"
sleep 0.5

# Back Up Now… into a scratch file through the file dialog; the notice is dismissed.
BACKUP="$SCRATCH/walk-backup.sqlite"
xdotool windowfocus --sync "$WIN"
press ctrl+shift+b
file_dialog "$BACKUP" 'Save As'
sleep 0.5; shot backup
xdotool mousemove 700 500 key Return
sleep 0.8; shot backup-done
[ -s "$BACKUP" ] || fail "Back Up Now wrote no file"
[ "$(sqlite3 "$BACKUP" 'PRAGMA integrity_check')" = "ok" ] || fail "the backup is not sound"

alive "before Ctrl+Q"
xdotool windowfocus --sync "$WIN"
sleep 0.3
xdotool key ctrl+q
wait_exit $PID 15
[ "$EXIT_CODE" = "0" ] || fail "exit after Ctrl+Q: $EXIT_CODE"

integrity
has() { [ "$(sqlite3 "$DB" "$1")" -ge 1 ] || fail "not in the database: $2"; }
has "SELECT count(*) FROM plant WHERE crop = 'Walk Tomato'" "plant Walk Tomato"
has "SELECT count(*) FROM plant WHERE crop = 'Walk Zoom Tomato' AND expected_harvest IS NOT NULL" \
    "plant Walk Zoom Tomato with its filled harvest day"
[ "$(sqlite3 "$DB" "SELECT count(*) FROM plant WHERE crop = 'Walk Zoom Tomato'")" = "1" ] ||
    fail "Return at 150 % did not save the plant exactly once"
has "SELECT count(*) FROM greenhouse WHERE name = 'Walk Greenhouse'" "greenhouse Walk Greenhouse"
has "SELECT count(*) FROM harvest WHERE crop = 'Walk Beans'" "harvest Walk Beans"
has "SELECT count(*) FROM pest WHERE problem = 'Walk Aphids'" "pest Walk Aphids"
has "SELECT count(*) FROM ledger WHERE item = 'Walk Compost'" "cost Walk Compost"
# One reading typed in and two imported.
[ "$(sqlite3 "$DB" 'SELECT count(*) FROM reading')" -ge $((READINGS + 3)) ] || fail "the new readings are missing"
[ "$(sqlite3 "$DB" "SELECT count(*) FROM plant WHERE crop = 'Walk Cancelled'")" = "0" ] ||
    fail "a cancelled sheet saved its plant"
echo "walk test passed ($SHOT_NO screenshots in $OUT)"
