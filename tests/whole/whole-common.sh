# Shared by the whole-program tests: the scratch profile and window helpers from the
# window tests, plus screenshots, menu walking and database checks. Sourced; needs
# $ORVANE, $SCRATCH and $OUT. Positions assume the 1600x1000 virtual screen the
# CTest entries start, with the main window at its default 1380x919 in the corner.

source "$(dirname "${BASH_SOURCE[0]}")/../app/window-common.sh"
mkdir -p "$OUT"
DB="$XDG_DATA_HOME/QNMR Orvane/Greenhouse.sqlite"

SHOT_NO=0
# Saves the whole screen as OUT/NN-name.png and fails when it is one flat colour.
shot() {
    SHOT_NO=$((SHOT_NO + 1))
    local file
    file=$(printf '%s/%02d-%s.png' "$OUT" "$SHOT_NO" "$1")
    import -window root "$file" || fail "no screenshot for $1"
    local sd
    sd=$(convert "$file" -format '%[fx:standard_deviation]' info:)
    awk -v s="$sd" 'BEGIN { exit !(s > 0.02) }' || fail "blank screenshot $file (deviation $sd)"
    LAST_SHOT=$file
}

alive() { kill -0 "$PID" 2>/dev/null || fail "the program ended during: $1"; }

# Opens a menu of the menu bar by a click on its title and runs its item number $2
# (1 = first; separators are skipped by the arrow keys).
menu_x() {
    case $1 in File) echo 20 ;; View) echo 58 ;; Go) echo 96 ;; Theme) echo 139 ;; Help) echo 188 ;; esac
}
menu_item() {
    xdotool mousemove "$(menu_x "$1")" 8 click 1
    sleep 0.4
    local i
    for i in $(seq "$2"); do xdotool key Down; done
    xdotool key Return
    sleep 0.8
}

click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }

# Clicks into a text box and types into it.
type_at() {
    click "$1" "$2"
    xdotool key ctrl+a
    xdotool type --delay 15 "$3"
    sleep 0.2
}

# Waits for a window whose title matches $1 (5 s at most).
wait_title() {
    local _
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

# In an open Qt file dialog (its file name box has the focus): types a full path and accepts.
file_dialog() {
    wait_title "$2" || fail "no file dialog titled $2"
    local id
    id=$(xdotool search --onlyvisible --name "$2" | head -1)
    xdotool mousemove --window "$id" 200 200
    sleep 0.3
    xdotool key ctrl+a
    xdotool type --delay 10 "$1"
    xdotool key Return
    sleep 1
}

integrity() {
    local result
    result=$(sqlite3 "$DB" 'PRAGMA integrity_check') || fail "sqlite3 could not open $DB"
    [ "$result" = "ok" ] || fail "integrity_check: $result"
}

# With no window manager nobody hands the focus back after a dialog closes: the main
# window takes it before each shortcut meant for it.
press() {
    xdotool windowfocus --sync "$WIN" 2>/dev/null
    xdotool key "$@"
}
