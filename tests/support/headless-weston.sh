# Sourced by the tests that run on Wayland: starts a headless weston and waits for it.

# start_headless_weston SOCKET WIDTH HEIGHT [WESTON_ARGUMENT...]
# Starts weston on $XDG_RUNTIME_DIR/SOCKET with a WIDTH x HEIGHT screen and sets weston_pid.
# Returns 1, with weston's log, when weston is missing or its socket does not appear: a test
# that needs a compositor fails without one.
start_headless_weston() {
    local socket=$1 width=$2 height=$3
    shift 3
    command -v weston >/dev/null || {
        echo "weston is not installed (scripts/setup installs it)"
        return 1
    }
    weston --backend=headless-backend.so --use-pixman --socket="$socket" --width="$width" \
        --height="$height" --idle-time=0 "$@" >"$XDG_RUNTIME_DIR/weston.log" 2>&1 &
    weston_pid=$!
    for _ in $(seq 100); do
        [ -S "$XDG_RUNTIME_DIR/$socket" ] && return 0
        kill -0 "$weston_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "weston did not start"
    cat "$XDG_RUNTIME_DIR/weston.log"
    return 1
}
