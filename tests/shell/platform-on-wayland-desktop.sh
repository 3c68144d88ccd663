#!/usr/bin/env bash
# A Wayland desktop that also runs an X server (XWayland) gets VEXA on X11 unless the user
# chose a platform: VEXA is started with both displays there (a headless weston, and Xvfb
# standing in for XWayland) and its windows are looked for on the X server. With
# QT_QPA_PLATFORM=wayland or -platform wayland it runs on Wayland and nothing of it appears
# on X. A weston or an X server that does not start fails the test.
set -uo pipefail
program=${1:?usage: platform-on-wayland-desktop.sh PROGRAM_FOLDER}
source "$(dirname "${BASH_SOURCE[0]}")/../support/headless-weston.sh"

work=$(mktemp -d)
weston_pid=
xvfb_pid=
vexa_pid=
stop_vexa() {
    [ -n "$vexa_pid" ] || return 0
    # TERM ends VEXA as closing it does, which also frees its single-instance socket.
    kill -TERM "$vexa_pid" 2>/dev/null
    for _ in $(seq 100); do kill -0 "$vexa_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$vexa_pid" 2>/dev/null
    wait "$vexa_pid" 2>/dev/null
    vexa_pid=
}
cleanup() {
    stop_vexa
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/runtime" "$work/home"
cp -r "$program" "$work/vexa" # the run may leave its settings beside the program

export XDG_RUNTIME_DIR=$work/runtime
start_headless_weston wayland-vexa 1280 800 || exit 1
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
if [ ! -s "$work/display" ]; then
    echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1
fi
display=:$(head -n1 "$work/display")

# Qt names its X windows' class after the program: ("vexa" "VEXA 6").
on_x() { xwininfo -display "$display" -root -tree 2>/dev/null | grep -q '("vexa" '; }

# start_vexa [VARIABLE=VALUE...] -- [ARGUMENT...]
start_vexa() {
    local settings=()
    while [ "$1" != "--" ]; do settings+=("$1"); shift; done
    shift
    env -i HOME="$work/home" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
        WAYLAND_DISPLAY=wayland-vexa DISPLAY="$display" XDG_SESSION_TYPE=wayland \
        ASAN_OPTIONS=detect_leaks=0 "${settings[@]}" \
        "$work/vexa/vexa" "$@" >"$work/out.log" 2>"$work/err.log" &
    vexa_pid=$!
}

status=0

start_vexa --
for _ in $(seq 200); do on_x && break; sleep 0.1; done
if ! on_x; then
    echo "no choice made: VEXA did not open its window on the X server"; cat "$work/err.log"
    status=1
fi
stop_vexa

for choice in "QT_QPA_PLATFORM=wayland --" "-- -platform wayland"; do
    # shellcheck disable=SC2086 # the words of the choice are separate arguments
    start_vexa $choice
    # The splash shows at once; give it time to appear where it should not.
    sleep 4
    if ! kill -0 "$vexa_pid" 2>/dev/null; then
        echo "$choice: VEXA ended"; cat "$work/err.log"; status=1
    elif on_x; then
        echo "$choice: VEXA opened a window on the X server although Wayland was chosen"
        status=1
    fi
    stop_vexa
done
exit $status
