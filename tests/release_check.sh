#!/usr/bin/env bash
# Run inside a bare Debian root that holds only what a desktop has (see release_test.sh): the
# Linux release, unpacked into a folder whose name has a space and non-ASCII letters, needs
# nothing more, lists today's task, saves one typed at the keyboard, and ends on Close.
# Usage: release_check.sh RELEASE.tar.gz   (then, with an X server, openbox and xdotool
#        installed, for the run: TEST_TOOLS_INSTALLED=1)
set -uo pipefail
tarball=$1
fail() { echo "FAIL: $*"; exit 1; }
home="/home/user/Mes tâches"
rm -rf "$home" && mkdir -p "$home"
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

. "$(dirname "$0")/display.sh"
today=$(date +%d%m%Y)
printf '%sWater the plants\r\n01012020old\r\n' "$today" >"$app/dayvane.dat"
cp "$app/dayvane.dat" "$display_work/before"
cd "$display_work" # another working folder
"$app/dayvane" 2>"$display_work/stderr" &
program=$!
display_pids+=($program)
wait_window "Today's Task\\(s\\)" || fail "nothing listed: $(cat "$display_work/stderr")"
echo "window \"Today's Task(s)\" is up, with today's task listed"
grep -q "$app/lib/libQt6Core.so.6" /proc/$program/maps || fail "Qt is not the release's own"
sleep 0.5
type_task "05032026Pay rent"
printf '05032026Pay rent\r\n' | cat "$display_work/before" - | cmp - "$app/dayvane.dat" ||
    fail "the typed task is not appended as one record with CR LF"
echo "saved from the keyboard: one record with CR LF"
close_program $program || exit 1
echo "Close ended the program"
