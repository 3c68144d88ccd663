#!/usr/bin/env bash
# Installs VEXA into a fresh prefix and runs it the way a desktop starts it (the desktop
# entry's Exec line) as an unprivileged user with a clean home folder, under a private
# Xvfb. Root could write to the program folder, so the run must be someone else's: as root
# the script becomes "nobody"; an ordinary user is unprivileged already.
# Checks that the settings go to ~/.config/vexa/vexa6.ini, nowhere into the installed tree,
# and come back at the next start. Exits 77 (skipped) when a needed tool is missing.
set -euo pipefail
build=${1:?usage: installed-copy-as-user.sh BUILD_FOLDER}
for tool in Xvfb xdotool xdpyinfo setpriv; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

work=$(mktemp -d)
xvfb=
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"
prefix=$work/usr
home=$work/home
cmake --install "$build" --prefix "$prefix" >/dev/null
mkdir -p "$home/covers"

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody:nogroup "$home"
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
display=:$(head -n1 "$work/display")
export DISPLAY=$display
# Wait until the server answers, and show its log when it never does.
for _ in $(seq 100); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo -display "$display" >/dev/null 2>&1 || { echo "Xvfb on $display does not answer"; cat "$work/xvfb.log"; exit 1; }

run() {
    "${as_user[@]}" env -i HOME="$home" PATH="$prefix/bin:/usr/bin:/bin" DISPLAY="$display" \
        ASAN_OPTIONS=detect_leaks=0 "$@"
}

# Starts VEXA from the desktop entry, waits for the main window (1000 pixels wide, after
# the splash), and closes it with File > Exit's key, Ctrl+Q, as a user would. The limits are
# generous: a sanitizer build on a busy machine starts slowly. A key that arrives before the
# window takes keys is lost, so it is pressed again while VEXA runs.
start_and_exit() {
    local exec_line
    exec_line=$(sed -n 's/^Exec=//p' "$prefix/share/applications/vexa.desktop")
    # shellcheck disable=SC2086  # the Exec line is split into words as a launcher does
    run ${exec_line//%F/} >"$work/vexa.log" 2>&1 &
    local pid=$! window=
    for _ in $(seq 1800); do
        for w in $(xdotool search --onlyvisible --name '^VEXA 6$' 2>/dev/null); do
            if xdotool getwindowgeometry "$w" | grep -q 'Geometry: 1000x'; then window=$w; fi
        done
        [ -n "$window" ] && break
        sleep 0.1
    done
    if [ -z "$window" ]; then echo "no main window appeared"; cat "$work/vexa.log"; return 1; fi
    local tick
    for tick in $(seq 0 1199); do
        kill -0 "$pid" 2>/dev/null || break
        if [ $((tick % 50)) -eq 0 ]; then # at once, then every five seconds
            xdotool windowfocus --sync "$window" 2>/dev/null || true
            xdotool key --clearmodifiers ctrl+q
        fi
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then echo "VEXA did not exit"; kill "$pid"; return 1; fi
    wait "$pid"
}

value() { sed -n "s/^$1=//p" "$home/.config/vexa/vexa6.ini"; }
fail() { echo "FAILED: $*"; exit 1; }

start_and_exit
ini=$home/.config/vexa/vexa6.ini
[ -f "$ini" ] || fail "no $ini after the first run"
[ "$(stat -c %a "$home/.config/vexa")" = 700 ] || fail "configuration folder is not private"
[ "$(stat -c %U "$ini")" = "$(run id -un)" ] || fail "settings file belongs to someone else"
[ -z "$(find "$prefix" -name vexa6.ini)" ] || fail "settings written into the installed tree"
[ "$(value Tab)" = 0 ] || fail "first run wrote Tab=$(value Tab)"

# What the user chose last time comes back: the second run saves what it restored.
sed -i -e "s|^Tab=.*|Tab=3|" -e "s|^Dir=.*|Dir=$home/covers|" "$ini"
start_and_exit
[ "$(value Tab)" = 3 ] || fail "Tab not restored (now $(value Tab))"
[ "$(value Dir)" = "$home/covers" ] || fail "Dir not restored (now $(value Dir))"

run vexa-cli --help | grep -q '^usage: vexa-cli' || fail "vexa-cli --help"
echo "installed VEXA kept its settings in $ini as $(run id -un)"
