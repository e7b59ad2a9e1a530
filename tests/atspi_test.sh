#!/usr/bin/env bash
# Starts the real program as a screen-reader user meets it: its own D-Bus session and
# accessibility bus, an X display with a window manager. Then tests/atspi_test.py checks
# what an AT-SPI client sees. Skipped (exit 77) where these cannot be started.
# Usage: atspi_test.sh SOURCE_DIR PROGRAM
set -uo pipefail
src=$1 program=$2
skip() { echo "skipped: $*"; exit 77; }
python=/usr/bin/python3 # the system's, which has the AT-SPI bindings
for tool in Xvfb openbox dbus-daemon xdotool /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
"$python" -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"

work=$(mktemp -d)
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT

unset WAYLAND_DISPLAY QT_QPA_PLATFORM
Xvfb -displayfd 3 -screen 0 1024x768x24 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || skip "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")

bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || skip "no D-Bus session bus"
export DBUS_SESSION_BUS_ADDRESS=$(head -1 <<<"$bus")
pids+=("$(tail -1 <<<"$bus")")
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

# The program beside a task file with two tasks for today.
cp "$program" "$work/dayvane"
today=$(date +%d%m%Y)
printf '%sPay rent\r\n01012020old\r\n%sCall the dentist\r\n' "$today" "$today" >"$work/dayvane.dat"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$work/dayvane" >"$work/program.log" 2>&1 &
pids+=($!)

# What the user sees, the window with its frame, stands in the middle of the screen.
window=$(timeout 20 xdotool search --sync --name "^Today's Task\\(s\\)\$" | head -1)
[ -n "$window" ] || { echo "FAIL: no window"; cat "$work/program.log"; exit 1; }
sleep 0.5
info=$(xwininfo -id "$window")
X=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
Y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
WIDTH=$(awk '/Width:/ {print $NF}' <<<"$info")
HEIGHT=$(awk '/Height:/ {print $NF}' <<<"$info")
read -r left right top bottom < <(xprop -id "$window" _NET_FRAME_EXTENTS | tr -d , | cut -d= -f2)
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
off_x=$((2 * (X - left) + WIDTH + left + right - screen_w))
off_y=$((2 * (Y - top) + HEIGHT + top + bottom - screen_h))
echo "the frame's centre is ($off_x/2, $off_y/2) px from the screen's"
((off_x * off_x <= 4 && off_y * off_y <= 4)) || { echo "FAIL: the window is not centred"; exit 1; }

"$python" "$src/tests/atspi_test.py"
status=$?
[ $status -eq 0 ] || cat "$work/program.log"
exit $status
