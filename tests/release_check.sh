#!/usr/bin/env bash
# Run inside a bare Debian root that holds only what a desktop has (see release_test.sh): the
# Linux release, unpacked into a folder whose name has a space and non-ASCII letters and
# started from another folder, needs nothing more.
# Usage: release_check.sh RELEASE.tar.gz ldd|x11|wayland
#   ldd      before any test tool is installed, so that none of theirs can stand in for the
#            release's: nothing the program, its libraries or its plugins need is missing
#   x11      with Xvfb, openbox and xdotool: it lists today's task, saves one typed at the
#            keyboard, with an é from the compose key, as one record with CR LF, and ends on
#            Close
#   wayland  with weston: its window comes up on Wayland, through the release's own Qt
set -uo pipefail
tarball=$1 mode=$2
program= weston=
. "$(dirname "$0")/waits.sh"
# Qt is the release's own: linked into the program, or its libraries and plugins in the
# folder; none of them loaded from elsewhere.
own_qt() {
    local others
    others=$(sed -n 's|^[^/]*\(/.*\)$|\1|p' /proc/$program/maps |
        grep -E 'libQt6|/plugins/|qwayland|libqxcb' | grep -vF "$app/" | sort -u)
    [ -z "$others" ] || fail "Qt from outside the release: $others"
}
home="/home/user/Mes tâches"
rm -rf "$home" && mkdir -p "$home"
tar -xzf "$tarball" -C "$home"
app=$(echo "$home"/DAYVANE-*-linux-*)
[ -x "$app/dayvane" ] || fail "no program in the release"
today=$(date +%d%m%Y)
printf '%sWater the plants\r\n01012020old\r\n' "$today" >"$app/dayvane.dat"
cd /tmp # another working folder

case $mode in
ldd)
    missing=$(find "$app" -type f \( -name dayvane -o -name '*.so*' \) -print0 |
        xargs -0 -n1 ldd 2>&1 | grep 'not found' | sort -u)
    [ -z "$missing" ] || fail "libraries not found: $missing"
    echo "ldd: the program, $(find "$app/lib" -type f | wc -l) libraries and" \
        "$(find "$app" -path "$app/plugins/*" -type f | wc -l) plugins, nothing not found"
    ;;
x11)
    . "$(dirname "$0")/display.sh"
    cp "$app/dayvane.dat" "$display_work/before"
    "$app/dayvane" 2>"$display_work/stderr" &
    program=$!
    display_pids+=($program)
    wait_window "Today's Task\\(s\\)" || fail "nothing listed: $(cat "$display_work/stderr")"
    echo "X11: window \"Today's Task(s)\" is up, with today's task listed"
    own_qt
    focus_window "$window"
    xdotool type --delay 40 "05032026Pay the caf"
    xdotool key --delay 40 Multi_key apostrophe # then e: é, through the release's compose plugin
    type_task e
    printf '05032026Pay the caf\303\251\r\n' | cat "$display_work/before" - >"$display_work/after"
    wait_until 10 cmp -s "$display_work/after" "$app/dayvane.dat" ||
        fail "not one record with CR LF, é composed: $(tail -n 1 "$app/dayvane.dat" | cat -v)"
    echo "X11: saved from the keyboard, é from the compose key, one record with CR LF"
    close_program $program || exit 1
    echo "X11: Close ended the program"
    ;;
wayland)
    XDG_RUNTIME_DIR=$(mktemp -d)
    export XDG_RUNTIME_DIR WAYLAND_DISPLAY=wayland-dayvane QT_QPA_PLATFORM=wayland
    chmod 700 "$XDG_RUNTIME_DIR"
    weston --backend=headless-backend.so --socket=$WAYLAND_DISPLAY --idle-time=0 \
        >"$XDG_RUNTIME_DIR/weston.log" 2>&1 &
    weston=$!
    trap 'kill $program $weston 2>/dev/null' EXIT
    wait_until 10 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ||
        fail "weston did not start: $(cat "$XDG_RUNTIME_DIR/weston.log")"
    # What the program asks of the compositor: a window with today's caption, then its picture.
    WAYLAND_DEBUG=client DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent "$app/dayvane" \
        2>"$XDG_RUNTIME_DIR/requests" &
    program=$!
    drawn() {
        grep -q 'set_title("Today'"'"'s Task(s)")' "$XDG_RUNTIME_DIR/requests" &&
            grep -q 'wl_surface@[0-9]*\.attach(wl_buffer' "$XDG_RUNTIME_DIR/requests"
    }
    wait_until 30 drawn
    grep -q 'wl_surface@[0-9]*\.attach(wl_buffer' "$XDG_RUNTIME_DIR/requests" ||
        fail "no window on Wayland: $(grep -v '^\[' "$XDG_RUNTIME_DIR/requests" | tail -5)"
    own_qt
    echo "Wayland: window \"Today's Task(s)\" is up, drawn through the release's own Qt"
    ;;
*) fail "no such check: $mode" ;;
esac
