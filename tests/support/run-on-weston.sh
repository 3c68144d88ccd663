#!/usr/bin/env bash
# run-on-weston.sh PROGRAM [ARGUMENT...]
# Runs a test program on a headless weston of its own (1920 x 1080, with the screenshooter
# enabled), Wayland only: no X display, Qt's Wayland platform. Its exit status is the test's;
# a weston that does not start fails the test.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/headless-weston.sh"

work=$(mktemp -d)
weston_pid=
cleanup() {
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
start_headless_weston wayland-test 1920 1080 --debug || exit 1

env -u DISPLAY WAYLAND_DISPLAY=wayland-test QT_QPA_PLATFORM=wayland "$@"
