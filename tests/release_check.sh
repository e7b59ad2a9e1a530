#!/usr/bin/env bash
# Run inside a bare Debian root that holds only what a desktop has (see release_test.sh): the
# Linux release, unpacked into a folder whose name has a space and non-ASCII letters, needs
# nothing more, lists today's task, saves one typed at the keyboard, and ends on Close.
# Usage: release_check.sh RELEASE.tar.gz   (then, for the run: TEST_TOOLS_INSTALLED=1)
set -uo pipefail
tarball=$1
fail() { echo "FAIL: $*"; exit 1; }
home="/home/user/Mes tâches"
mkdir -p "$home"
tar -xzf "$tarball" -C "$home"
app=$(echo "$home"/DAYVANE-*-linux-*)
[ -x "$app/dayvane" ] || fail "no program in the release"

if [ -z "${TEST_TOOLS_INSTALLED:-}" ]; then
    # Before any test tool is installed, so that none of theirs can stand in for the release's.
    missing=$(find "$app" -type f \( -name dayvane -o -name '*.so*' \) -print0 |
        xargs -0 -n1 ldd 2>&1 | grep 'not found' | sort -u)
    [ -z "$missing" ] || fail "libraries not found: $missing"
    echo "ldd: the program, $(find "$app/lib" -type f | wc -l) libraries and $(find "$app/plugins" -type f | wc -l) plugins, nothing not found"
    exit 0
fi

Xvfb :5 -screen 0 1024x768x24 -nolisten tcp 2>/dev/null &
xvfb=$!
program=
trap 'kill $program $xvfb 2>/dev/null' EXIT
export DISPLAY=:5 DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

today=$(date +%d%m%Y)
printf '%sWater the plants\r\n01012020old\r\n' "$today" >"$app/dayvane.dat"
cp "$app/dayvane.dat" /tmp/before
cd /tmp # another working folder
"$app/dayvane" 2>/tmp/stderr &
program=$!
window=$(timeout 30 xdotool search --sync --name "^Today's Task\\(s\\)\$" | head -1)
[ -n "$window" ] || fail "no window \"Today's Task(s)\" listing today's task: $(cat /tmp/stderr)"
echo "window \"Today's Task(s)\" is up, with today's task listed"
grep -q "$app/lib/libQt6Core.so.6" /proc/$program/maps || fail "Qt is not the release's own"
sleep 0.5
xdotool type --delay 40 "05032026Pay rent"
xdotool key --delay 100 Tab space # from the message field to Save
sleep 1
printf '05032026Pay rent\r\n' | cat /tmp/before - | cmp - "$app/dayvane.dat" ||
    fail "the typed task is not appended as one record with CR LF"
echo "saved from the keyboard: one record with CR LF"
xdotool key --delay 100 Tab space # from Save to Close
for _ in $(seq 50); do kill -0 $program 2>/dev/null || break; sleep 0.1; done
! kill -0 $program 2>/dev/null || fail "Close did not end the program"
program=
echo "Close ended the program"
