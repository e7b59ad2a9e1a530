#!/usr/bin/env bash
# The Windows program as a person meets it, under Wine: unzipped from its package into a fresh
# folder and started from another, it lists today's task from the task file beside it, saves
# a task typed at the keyboard as one record with CR LF, and ends on Close. Its frame stands in
# the middle of the screen, and a screen reader reads the window through UI Automation
# (uia_client.exe; its children only in-process, as Wine 8 hangs on them). On a Russian
# system an older task file's line in its code page, Windows-1251, lists in Russian; on one
# whose code page is UTF-8, a line in Windows-1252 lists as such. From a
# drive root it keeps its tasks there, and while another program holds the task file Save says
# so within moments and keeps what was typed. Skipped (exit 77) where Wine or the X tools are missing.
# Usage: wine_program_test.sh BUILD_DIR HOLDER UIA_CLIENT
#   (HOLDER: tst_osfile.exe, which can hold a lock and tell the code page; UIA_CLIENT:
#   uia_client.exe)
set -uo pipefail
build=$1 holder=$2 uia_client=$3
export WINEPREFIX=$build/wine
. "$(dirname "$0")/wine_display.sh"
need xclip unzip convert xwininfo
windows_package "$build" zip
work=$display_work
drive=$WINEPREFIX/dosdevices/x:
program=
trap 'rm -f "$drive"; [ -z "$program" ] || kill $program 2>/dev/null; end_wine' EXIT

# Starts DAYVANE.exe (a Windows path) from another folder, with the variables in start_env,
# and waits for a window whose caption matches $2 (a pattern).
start_env=()
start() {
    (cd "$work/elsewhere" && exec env "${start_env[@]}" "$wine" "$1") &
    program=$!
    started=$(now_ms)
    wait_window "$2" 60 || exit 1
    echo "window $2 up $(($(now_ms) - started)) ms after the start"
    # Under openbox Wine's window waits for a click to have the focus, as a user would give.
    focus_window "$window"
}
# Whether the window's text, copied as a Windows message box gives it, holds $1.
copied() {
    message=$(xclip -o -selection clipboard 2>/dev/null | tr -d '\r')
    grep -qF "$1" <<<"$message"
}

mkdir -p "$work/elsewhere" "$work/app" "$work/root"
unzip -q "$package" -d "$work/app"
app=$(dirname "$(ls "$work"/app/*/DAYVANE.exe)")
today=$(date +%d%m%Y)
printf '%sWater the plants\r\n01012020old\r\n%sPay the rent\r\n' "$today" "$today" >"$app/dayvane.dat"
cp "$app/dayvane.dat" "$work/before"

app_windows=$(windows_path "$app")
start "$app_windows\\DAYVANE.exe" "Today's Task\\(s\\)"
read -r off_x off_y < <(frame_offset "$window")
echo "the frame's centre is ($off_x/2, $off_y/2) px from the screen's"
((off_x * off_x <= 16 && off_y * off_y <= 16)) || fail "the window is not centred"

# What a screen reader reads, through UI Automation (its calls time-limited by the client).
uia() {
    WINEPATH=$app_windows timeout 60 "$wine" "$uia_client" "$1" 2>/dev/null | tr -d '\r'
}
read_out=$(uia "Today's Task(s)")
echo "$read_out"
expected="ControlType 50032
Name Today's Task(s)
FullDescription 2 tasks due today: Water the plants; Pay the rent
HasKeyboardFocus true"
[ "$read_out" = "$expected" ] || fail "a screen reader reads the window otherwise"
xdotool key --delay 100 Tab Tab Tab Tab Tab Tab Tab space # on to Do not forget, and press it
renamed() { uia "Task Dayvane" | grep -qx "Name Task Dayvane"; }
wait_until 30 renamed || fail "after Do not forget: $(uia "Task Dayvane")"
echo "UI Automation: the window, its name, what is due, the focus; renamed after Do not forget"
import -window "$window" "$work/window.png"
inside=$(convert "$work/window.png" -fill black +opaque '#FFFFC0' -trim -format '%wx%h' info:)
[ "$inside" = 368x369 ] || fail "the window's inside is $inside, not 368x369"
type_task "05032026Pay rent"
printf '05032026Pay rent\r\n' | cat "$work/before" - >"$work/after"
wait_until 10 cmp -s "$work/after" "$app/dayvane.dat" ||
    fail "the typed task is not appended as one record"
close_program $program || exit 1
program=
echo "from its folder: listed, saved, closed"

# Wine takes the ANSI code page from the locale (made here, in a folder of our own): in Russian
# 1251, in which "Привет" is these six bytes; in a locale with none of its own 65001, UTF-8, as
# on a Windows set to use Unicode UTF-8 for worldwide language support, where a line that is
# not UTF-8 reads as Windows-1252.
mkdir -p "$work/locales"
while read -r locale code_page bytes expected; do
    if ! localedef -i "${locale%.*}" -f UTF-8 "$work/locales/$locale" 2>"$work/localedef"; then
        echo "skipped code page $code_page: no $locale locale to make ($(head -1 "$work/localedef"))"
        continue
    fi
    start_env=(LOCPATH="$work/locales" LC_ALL="$locale")
    acp=$(env "${start_env[@]}" WINEPATH="$app_windows" "$wine" "$holder" codepage | tr -d '\r')
    [ "$acp" = "$code_page" ] || fail "in $locale GetACP() gives $acp, not $code_page"
    printf "%s$bytes\r\n" "$today" >"$app/dayvane.dat"
    start "$app_windows\\DAYVANE.exe" "Today's Task\\(s\\)"
    start_env=()
    read_out=$(uia "Today's Task(s)" | grep FullDescription)
    echo "in $locale, GetACP() $acp: $read_out"
    [ "$read_out" = "FullDescription 1 task due today: $expected" ] ||
        fail "a line of an older file is not read in code page $code_page"
    kill $program
    wait $program 2>/dev/null
    program=
done <<'EOF'
ru_RU.UTF-8 1251 \xcf\xf0\xe8\xe2\xe5\xf2 Привет
hi_IN.UTF-8 65001 Gr\xfc\xdfe Grüße
EOF

# A drive root, while another program holds the task file: the message names the file with
# one separator, the fields keep the task, and once the file is free Save writes it.
cp -r "$app"/. "$work/root"
rm "$work/root/dayvane.dat"
ln -sfn "$work/root" "$drive"
start 'X:\DAYVANE.exe' "Task Dayvane"
[ -f "$work/root/dayvane.dat" ] || fail "no task file made in the drive root"
# The holder finds the MinGW runtime beside the program.
WINEPATH='X:\' "$wine" "$holder" hold 'X:\dayvane.dat' 60 >"$work/held" 2>&1 &
holding=$!
wait_until 10 grep -q held "$work/held" ||
    fail "the task file's lock could not be taken: $(cat "$work/held")"
type_task "06032026Busy day"
wait_until 10 find_window DAYVANE || fail "no message while the task file was held"
waited=$(($(now_ms) - pressed))
echo "Save answered $waited ms after it was pressed"
((waited < 5000)) || fail "Save kept the user waiting"
box=$window
focus_window "$box"
xdotool key ctrl+c # a Windows message box copies its text
wait_until 5 copied 'X:\dayvane.dat' || fail "message without X:\\dayvane.dat: $message"
grep -qF 'another program is using it' <<<"$message" || fail "message: $message"
xdotool key Return
kill $holding
wait $holding 2>/dev/null
find_window "Task Dayvane"
focus_window "$window"
xdotool key space # Save still has the focus, and the fields their task
printf '06032026Busy day\r\n' >"$work/after"
wait_until 10 cmp -s "$work/after" "$work/root/dayvane.dat" || fail "the kept task was not saved"
close_program $program || exit 1
program=
echo "from a drive root: kept its tasks there, waited in bounds for a held file"
echo "the Windows program: all good"
