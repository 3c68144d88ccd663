#!/usr/bin/env bash
# Starts VEXA on a headless weston, Wayland only (no X display), and checks that the splash
# comes and goes without a word on standard error: Wayland has no window opacity, and the
# splash must not ask for it step after step. Then checks VEXA still runs (the main window
# followed the splash). A weston that does not start fails the test.
set -uo pipefail
program=${1:?usage: splash-on-wayland.sh PROGRAM_FOLDER}
source "$(dirname "${BASH_SOURCE[0]}")/../support/headless-weston.sh"

work=$(mktemp -d)
weston_pid=
vexa_pid=
cleanup() {
    [ -n "$vexa_pid" ] && kill -KILL "$vexa_pid" 2>/dev/null
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/runtime" "$work/home"
cp -r "$program" "$work/vexa" # the run may leave its settings beside the program

export XDG_RUNTIME_DIR=$work/runtime
start_headless_weston wayland-vexa 1280 800 || exit 1

env -i HOME="$work/home" PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" \
    WAYLAND_DISPLAY=wayland-vexa QT_QPA_PLATFORM=wayland ASAN_OPTIONS=detect_leaks=0 \
    "$work/vexa/vexa" >"$work/out.log" 2>"$work/err.log" &
vexa_pid=$!
# Fade in, hold and fade out take about six seconds; the main window comes after them.
sleep 9
if ! kill -0 "$vexa_pid" 2>/dev/null; then
    echo "VEXA ended on its own"; cat "$work/err.log"; exit 1
fi
if grep -qi "opacity" "$work/err.log"; then
    echo "VEXA asked Wayland for window opacity:"
    sort "$work/err.log" | uniq -c
    exit 1
fi
exit 0
