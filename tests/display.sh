# Sourced by the tests and benchmarks that use the real program on a screen: an X display of
# their own (Xvfb, display_size or 1024x768) with openbox, and with display_buses=1 a D-Bus
# session and accessibility bus of their own too; otherwise no session bus at all. Everything
# started here, and every process id added to display_pids, is ended on exit (end_display).
# Skips (exit 77) where a tool is missing. Gives, beside what waits.sh gives:
#   display_work             a scratch folder, removed on exit
#   find_window PATTERN      whether a shown window's caption matches ^PATTERN$, setting
#                            `window` to it
#   wait_window PATTERN [S]  waits up to S seconds (30) for a shown window whose caption
#                            matches ^PATTERN$, and sets `window`; fails after that
#   focus_window WINDOW      gives WINDOW the keyboard, as a click would, and waits until it
#                            has it
#   frame_offset WINDOW      twice the distance of the window's frame centre from the
#                            screen's, "X Y", in pixels
#   type_task TEXT           types TEXT where the focus is, then Tab and Space: from the
#                            message field on to Save, and presses it; `pressed` is when
#   gone PID                 whether process PID has ended
#   close_program PID        Tab and Space from Save to Close; fails unless PID (a child of
#                            this shell) then ends with exit code 0
#   copy_program PROGRAM DIR copies PROGRAM into a new folder DIR, with its whole folder
#                            where it is an unpacked release's
#   start_program PROGRAM TASKS...
#                            starts a copy of PROGRAM (copy_program) beside a task file of
#                            TASKS for today and 01012020old, and waits for its window
. "$(dirname "${BASH_SOURCE[0]}")/waits.sh"

# Looked for every 20 ms: xdotool's own --sync looks only every half second.
find_window() {
    window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1) && [ -n "$window" ]
}
wait_window() {
    wait_until "${2:-30}" find_window "$1" ||
        { echo "FAIL: no window \"$1\" within ${2:-30} s"; return 1; }
}

# Activated as a click would, again until the window has the keyboard: under load Wine's
# window may miss the first.
has_keyboard() {
    timeout 5 xdotool windowactivate --sync "$1" >/dev/null 2>&1
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$1" ]
}
focus_window() {
    wait_until 20 has_keyboard "$1" ||
        fail "window $1 did not get the keyboard; $(xdotool getwindowfocus -f 2>&1) has it"
}

need Xvfb openbox xdotool
unset WAYLAND_DISPLAY
display_pids=()
display_work=$(mktemp -d)
end_display() {
    for pid in "${display_pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait "${display_pids[@]}" 2>/dev/null
    rm -rf "$display_work"
}
trap end_display EXIT

# What the display's own programs say goes to logs in the work folder, and into the failure
# message where one of them does not come up.
display_logs() {
    local log
    for log in "$display_work"/{xvfb,buses,openbox}.log; do
        [ ! -s "$log" ] || printf '\n--- %s:\n%s' "$(basename "$log")" "$(tail -20 "$log")"
    done
    # And where the display is, as clients find it: Xvfb's process and the X sockets.
    printf '\n--- DISPLAY=%s; Xvfb %s; X sockets listening: %s' "${DISPLAY:-}" \
        "$(gone "$xvfb" && echo "has ended" || echo "runs")" \
        "$(awk '$6 == "01" && $8 ~ /X11-unix/ { printf "%s ", $8 }' /proc/net/unix 2>/dev/null)"
}
gone() { ! kill -0 "$1" 2>/dev/null; }
# Sets `ended` to how process $1, a child of this shell that has ended, ended: "exit code N",
# or "SIGNAME".
how_ended() {
    local status
    wait "$1"
    status=$?
    ended="exit code $status"
    ((status <= 128)) || ended=SIG$(kill -l $((status - 128)))
}

# -noreset: by default the server resets when its last client leaves, and the buses' launcher
# is a client for a moment, to leave the accessibility bus's address on the root window. The
# reset then wiped that address, and a window manager connecting meanwhile was turned away.
Xvfb -displayfd 3 -screen 0 "${display_size:-1024x768}x24" -nolisten tcp -noreset \
    3>"$display_work/display" 2>"$display_work/xvfb.log" &
xvfb=$!
display_pids+=($xvfb)
wait_until 10 test -s "$display_work/display" || fail "Xvfb did not start$(display_logs)"
export DISPLAY=:$(cat "$display_work/display")
if [ -n "${display_buses:-}" ]; then
    need dbus-daemon /usr/libexec/at-spi-bus-launcher
    bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 2>"$display_work/buses.log") ||
        { echo "skipped: no D-Bus session bus$(display_logs)"; exit 77; }
    export DBUS_SESSION_BUS_ADDRESS=$(head -1 <<<"$bus")
    display_pids+=("$(tail -1 <<<"$bus")")
    /usr/libexec/at-spi-bus-launcher --launch-immediately >>"$display_work/buses.log" 2>&1 &
    display_pids+=($!)
else
    export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
fi
openbox --startup "touch $display_work/wm" >"$display_work/openbox.log" 2>&1 &
wm=$!
display_pids+=($wm)
wm_settled() { test -e "$display_work/wm" || gone "$wm"; }
if ! wait_until 30 wm_settled; then
    fail "openbox was still starting after 30 s$(display_logs)"
elif [ ! -e "$display_work/wm" ]; then
    how_ended "$wm"
    fail "openbox ended before it started, with $ended$(display_logs)"
fi

frame_offset() {
    local info x y width height extents left right top bottom screen_w screen_h
    info=$(xwininfo -id "$1")
    x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
    y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
    width=$(awk '/Width:/ {print $NF}' <<<"$info")
    height=$(awk '/Height:/ {print $NF}' <<<"$info")
    extents=$(xprop -id "$1" -notype _NET_FRAME_EXTENTS | sed -n 's/.* = //p' | tr -d ,)
    read -r left right top bottom <<<"${extents:-0 0 0 0}"
    read -r screen_w screen_h < <(xdotool getdisplaygeometry)
    echo $((2 * (x - left) + width + left + right - screen_w)) \
        $((2 * (y - top) + height + top + bottom - screen_h))
}

type_task() {
    xdotool type --delay 40 "$1"
    xdotool key Tab
    pressed=$(now_ms)
    xdotool key space
}

close_program() {
    xdotool key Tab space
    wait_until 10 gone "$1" || { echo "FAIL: Close did not end the program"; return 1; }
    how_ended "$1"
    [ "$ended" = "exit code 0" ] || { echo "FAIL: on Close the program ended with $ended"; return 1; }
}

copy_program() {
    mkdir "$2"
    if [ -e "$(dirname "$1")/qt.conf" ]; then
        cp -a "$(dirname "$1")/." "$2"
    else
        cp "$1" "$2"
    fi
}

start_program() {
    local program=$1 app=$display_work/app today task
    shift
    copy_program "$program" "$app"
    today=$(date +%d%m%Y)
    {
        printf '%s%s\r\n01012020old\r\n' "$today" "$1"
        for task in "${@:2}"; do printf '%s%s\r\n' "$today" "$task"; done
    } >"$app/dayvane.dat"
    "$app/$(basename "$program")" >"$display_work/program.log" 2>&1 &
    display_pids+=($!)
    wait_window "Today's Task\\(s\\)" || { cat "$display_work/program.log"; return 1; }
}
