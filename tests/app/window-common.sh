# Shared by the real-window tests: a scratch profile, the program started on the
# virtual display, and a wait for its window. Sourced; needs $ORVANE and $SCRATCH.

export HOME="$SCRATCH/home" XDG_CONFIG_HOME="$SCRATCH/config" XDG_DATA_HOME="$SCRATCH/data"
export XDG_CACHE_HOME="$SCRATCH/cache" XDG_RUNTIME_DIR="$SCRATCH/run"
unset OV_DB_PATH QT_QPA_PLATFORM
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

fail() { echo "FAIL: $*" >&2; exit 1; }

# Prints the id of the window titled exactly "QNMR Orvane" once it shows (20 s at most).
wait_for_window() {
    local end=$(( $(date +%s%N) + 20 * 1000000000 )) id
    while [ "$(date +%s%N)" -lt "$end" ]; do
        id=$(xdotool search --onlyvisible --name '^QNMR Orvane$' 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Runs the command given after the limit until it succeeds, every 0.1 s, for up to
# $1 seconds; fails when it never does. The tests wait for what they look for, never
# for a fixed time, so a loaded machine only makes them slower, not wrong.
wait_until() {
    local limit=$1; shift
    local end=$(( $(date +%s%N) + limit * 1000000000 ))
    until "$@"; do
        [ "$(date +%s%N)" -lt "$end" ] || return 1
        sleep 0.1
    done
}

# Waits up to $2 seconds for child process $1 and sets EXIT_CODE to its exit code,
# or to "timeout" (the process is then ended).
wait_exit() {
    local pid=$1 limit=$2
    for _ in $(seq $((limit * 10))); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            EXIT_CODE=$?
            return 0
        fi
        sleep 0.1
    done
    kill "$pid" 2>/dev/null
    EXIT_CODE=timeout
}
