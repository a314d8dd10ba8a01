#!/bin/bash
# A seeded storm of random clicks and keys on the real program, with climate CSV
# imports, backups and full exports run from the menus at intervals (each runs on
# a background job while the storm goes on). Never sends Ctrl+Q, Alt+F4,
# Delete (file dialogs delete with it) or a window close to the main window, and
# clicks only inside the main window below its menu bar. Passes when the program is
# still alive and answering afterwards, quits with 0 on Ctrl+Q, and the database
# passes integrity and foreign-key checks.
# The screenshots go to OUTPUT_FOLDER when given, else to $OV_LOOK_DIR/storm when that
# is set, else to the scratch folder (removed at the end).
# Usage (inside xvfb-run): storm-test.sh ORVANE [OUTPUT_FOLDER]
# ORVANE_STORM_EVENTS (default 500; 3000 for the long run), ORVANE_STORM_SEED (default 26).
set -u
ORVANE=$1
EVENTS=${ORVANE_STORM_EVENTS:-500}
SEED=${ORVANE_STORM_SEED:-26}
EVERY=${ORVANE_STORM_EVERY:-125}
SCRATCH=$(mktemp -d)
OUT=${2:-${OV_LOOK_DIR:+$OV_LOOK_DIR/storm}}
OUT=${OUT:-$SCRATCH/shots}
trap 'rm -rf "$SCRATCH"' EXIT
source "$(dirname "$0")/whole-common.sh"
rm -f "$OUT"/*.png
# File dialogs open in the working folder: keep that inside the scratch profile.
cd "$HOME"

"$ORVANE" &
PID=$!
WIN=$(wait_for_window) || { kill $PID; fail "no window titled QNMR Orvane"; }
xdotool windowfocus --sync "$WIN"
sleep 1
click 635 309
sleep 1.5
shot storm-start

KEYS=(Tab shift+Tab Return Escape space Up Down Left Right Page_Up Page_Down Home End BackSpace
      a e o t 1 5 9 period minus ctrl+a ctrl+z ctrl+1 ctrl+2 ctrl+3 ctrl+4 ctrl+5 ctrl+6 ctrl+7
      ctrl+8 ctrl+9 ctrl+plus ctrl+minus ctrl+0 ctrl+n ctrl+shift+r ctrl+shift+i F1)

# Every other window is put away so menu positions hold again: help and About (not
# modal) are unmapped; dialogs, sheets and notices get Escape, as a person would do
# (there is no window manager to ask them to close). Then the zoom is reset and Today shown.
settle() {
    local id name _
    for _ in 1 2 3; do
        for id in $(xdotool search --onlyvisible --pid "$PID" 2>/dev/null); do
            [ "$id" = "$WIN" ] && continue
            name=$(xdotool getwindowname "$id" 2>/dev/null)
            case $name in
                'QNMR Orvane Help' | 'About QNMR Orvane') xdotool windowunmap "$id" 2>/dev/null ;;
                *) xdotool windowfocus --sync "$id" 2>/dev/null && xdotool key Escape ;;
            esac
        done
        sleep 0.3
    done
    xdotool mousemove 1300 880
    press ctrl+0 ctrl+1
    sleep 0.8
}

IMPORTS=0 BACKUPS=0
import_csv() {
    local csv="$SCRATCH/storm-$1.csv" before after
    printf 'timestamp,temp_f,humidity\n2025-03-%02d 08:00,60.5,71\n2025-03-%02d 09:00,62.0,69\n' \
        $(( $1 % 28 + 1 )) $(( $1 % 28 + 1 )) > "$csv"
    before=$(sqlite3 "$DB" 'SELECT count(*) FROM reading')
    menu_item File 3
    click 432 432
    wait_title 'Choose a CSV file' || { echo "import $1: no file dialog"; return; }
    file_dialog "$csv" 'Choose a CSV file'
    click 960 638
    sleep 1
    click 962 664
    # The import runs in the background: give it a few seconds to land.
    for _ in $(seq 50); do
        after=$(sqlite3 "$DB" 'SELECT count(*) FROM reading')
        [ "$after" -gt "$before" ] && break
        sleep 0.1
    done
    [ "$after" -gt "$before" ] && IMPORTS=$((IMPORTS + 1))
}
backup() {
    local file="$SCRATCH/storm-backup-$1.sqlite"
    press ctrl+shift+b
    wait_title '^Save As$' || { echo "backup $1: no file dialog"; return; }
    file_dialog "$file" '^Save As$'
    # The copy is made in the background; its notice comes when it is done.
    for _ in $(seq 50); do [ -s "$file" ] && break; sleep 0.1; done
    sleep 0.3
    xdotool mousemove 700 500 key Return
    sleep 0.5
    if [ -s "$file" ]; then
        [ "$(sqlite3 "$file" 'PRAGMA integrity_check')" = "ok" ] || fail "backup $1 is not sound"
        BACKUPS=$((BACKUPS + 1))
    fi
}

EXPORTS=0
export_all() {
    local folder="$SCRATCH/storm-export-$1" _
    mkdir -p "$folder"
    menu_item File 9
    wait_title 'Choose a folder for the CSV files' || { echo "export $1: no folder dialog"; return; }
    file_dialog "$folder" 'Choose a folder for the CSV files'
    for _ in $(seq 100); do
        [ "$(find "$folder" -name '*.csv' | wc -l)" -ge 8 ] && break
        sleep 0.1
    done
    sleep 0.3
    xdotool mousemove 700 500 key Return
    sleep 0.5
    [ "$(find "$folder" -name '*.csv' | wc -l)" -ge 8 ] && EXPORTS=$((EXPORTS + 1))
    [ -z "$(find "$folder" -type f ! -name '*.csv')" ] || fail "export $1 left a temporary file"
}

RANDOM=$SEED
START=$(date +%s)
for i in $(seq "$EVENTS"); do
    if [ $((RANDOM % 3)) -eq 0 ]; then
        xdotool mousemove $((RANDOM % 1370 + 5)) $((RANDOM % 890 + 24)) click 1
    else
        xdotool key "${KEYS[$((RANDOM % ${#KEYS[@]}))]}"
    fi
    sleep 0.03
    if [ $((i % EVERY)) -eq 0 ]; then
        alive "event $i"
        settle
        import_csv "$i"
        settle
        backup "$i"
        settle
        export_all "$i"
        settle
        shot "storm-$i"
    fi
done
alive "the storm"
echo "storm: $EVENTS events (seed $SEED) in $(( $(date +%s) - START )) s; $IMPORTS imports, $BACKUPS backups and $EXPORTS exports took effect"

# Still answering: the window is there and keys still change what it shows.
settle
xdotool search --onlyvisible --name '^QNMR Orvane$' >/dev/null || fail "the main window is gone"
press ctrl+4; sleep 1; shot after-climate
A=$LAST_SHOT
press ctrl+7; sleep 1; shot after-harvests
[ "$(compare -metric AE "$A" "$LAST_SHOT" null: 2>&1 | cut -d' ' -f1)" != "0" ] || fail "keys no longer change the window"

press ctrl+q
wait_exit $PID 20
[ "$EXIT_CODE" = "0" ] || fail "exit after Ctrl+Q: $EXIT_CODE"
integrity
[ -z "$(sqlite3 "$DB" 'PRAGMA foreign_key_check')" ] || fail "records point at missing records"
echo "storm test passed"
