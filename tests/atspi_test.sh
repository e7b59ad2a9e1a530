#!/usr/bin/env bash
# Starts the real program as a screen-reader user meets it, on a display with a window
# manager and buses of its own (display.sh), beside a task file with two tasks for today. Its
# window, frame and all, stands in the middle of the screen and stays out of the task bar;
# then tests/atspi_test.py checks what an AT-SPI client sees. PROGRAM may be the one in an
# unpacked release, whose folder is then used whole. Skipped (exit 77) where these tools
# are missing.
# Usage: atspi_test.sh SOURCE_DIR PROGRAM
set -uo pipefail
src=$1 program=$2
python=/usr/bin/python3 # the system's, which has the AT-SPI bindings
"$python" -c 'import pyatspi' 2>/dev/null || { echo "skipped: python3-pyatspi is not installed"; exit 77; }
display_buses=1
. "$src/tests/display.sh"
need xwininfo xprop wmctrl
unset QT_QPA_PLATFORM

QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 start_program "$program" "Pay rent" "Call the dentist" || exit 1

# Centred once the window manager has framed it.
centred() {
    read -r off_x off_y < <(frame_offset "$window")
    ((off_x * off_x <= 4 && off_y * off_y <= 4))
}
wait_until 5 centred
echo "the frame's centre is ($off_x/2, $off_y/2) px from the screen's"
centred || fail "the window is not centred"
# Asked to change another state, the window manager writes the states it knows of.
wmctrl -i -r "$window" -b add,above
states() {
    state=$(xprop -id "$window" _NET_WM_STATE)
    grep -q _NET_WM_STATE_ABOVE <<<"$state"
}
wait_until 5 states
echo "$state"
grep -q _NET_WM_STATE_SKIP_TASKBAR <<<"$state" || fail "the window is in the task bar"

"$python" "$src/tests/atspi_test.py"
status=$?
[ $status -eq 0 ] || cat "$display_work/program.log"
exit $status
