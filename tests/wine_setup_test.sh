#!/usr/bin/env bash
# The Windows setup as a user and an administrator meet it, under Wine in a fresh prefix.
# Installed over an older version (a setup holding one file more) that holds the user's tasks,
# a silent install keeps the tasks, and leaves exactly the zip's files, with their licences,
# and the uninstaller in the user's AppData\Local\Programs\DAYVANE, shortcuts in the Start
# menu and the Startup folder, and what Settings, Apps reads into the registry. Started from the Start menu, DAYVANE runs in
# that folder, lists today's task and saves a typed one there. While it runs, the setup and
# the uninstaller change nothing and end with exit code 3; a folder that cannot be written
# ends the setup with exit code 4, and one that holds another program's uninstaller with exit
# code 6, that uninstaller neither run nor written over. Installing again keeps the task file and the logon choice;
# uninstalling leaves the task file alone.
# Skipped (exit 77) where Wine or the tools are missing.
# Usage: wine_setup_test.sh BUILD_DIR
set -uo pipefail
build=$1
export WINEPREFIX=$build/wine-setup
rm -rf "$WINEPREFIX"
. "$(dirname "$0")/wine_display.sh"
need unzip strings x86_64-w64-mingw32-gcc
windows_package "$build" zip
zip=$package
[ -n "$(ls "$build"/DAYVANE-*-setup.exe 2>/dev/null)" ] ||
    { echo "skipped: no setup in $build (makensis is not installed)"; exit 77; }
windows_package "$build" setup
setup=$package
"$wine" wineboot -i >/dev/null 2>&1

user=$(whoami)
app=$WINEPREFIX/drive_c/users/$user/AppData/Local/Programs/DAYVANE
app_windows=$(windows_path "$app")
menu="$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
startup="$menu/StartUp/DAYVANE.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\DAYVANE'
# Each file of the install folder with its size and time: what "changed nothing" compares.
snapshot() { (cd "$app" && find . -printf '%p %s %T@\n' | sort); }
# An NSIS uninstaller copies itself away and returns at once: wait until Wine is idle.
run() {
    "$wine" "$@"
    local status=$?
    wine_idle
    return $status
}
# Runs the setup or uninstaller given, which must end with exit code $1.
ends_with() {
    local code=$1 status
    shift
    "$wine" "$@"
    status=$?
    echo "$(basename "$1") ${*:2}: exit code $status"
    [ $status = "$code" ] || fail "exit code $status, not $code"
}

# Over an older version that installed a file this one lacks, and holds the user's tasks.
old_setup=$display_work/DAYVANE-old-windows-x64-setup.exe
printf 'file(WRITE "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/platforms/qold.dll" "")\n' >"$display_work/old.cmake"
(cd "$build" && cpack -G NSIS64 -B "$display_work/old" -D CPACK_PACKAGE_FILE_NAME=DAYVANE-old-windows-x64 \
    -D CPACK_INSTALL_SCRIPTS="$display_work/old.cmake" >"$display_work/old.log") ||
    fail "no older setup: $(tail -5 "$display_work/old.log")"
run "$display_work"/old/DAYVANE-old-windows-x64-setup.exe /S || fail "the older setup ended with $?"
[ -f "$app/platforms/qold.dll" ] || fail "the older setup did not install its extra file"
printf '01012020old\r\n' >"$app/dayvane.dat"
cp "$app/dayvane.dat" "$display_work/tasks"
run "$setup" /S || fail "the setup ended with $?"
cmp "$display_work/tasks" "$app/dayvane.dat" || fail "the upgrade changed the task file"
rm "$app/dayvane.dat"
diff <(cd "$app" && find . -type f | sort) \
    <({ unzip -Z1 "$zip" | sed -n 's|^[^/]*/\(.*[^/]\)$|./\1|p'; echo ./Uninstall.exe; } | sort) ||
    fail "the installed files are not the zip's and the uninstaller"
echo "installed over an older version: the zip's files and the uninstaller, in $app_windows;" \
    "the older version's extra file gone, the task file byte for byte"

# Into a folder that holds another program's uninstaller (a stand-in that leaves a marker when
# run): nothing is done, and the setup ends with exit code 6.
other=$display_work/Tools
mkdir "$other"
printf '#include <stdio.h>\nint main(void) { return fopen("C:\\\\ran", "w") == NULL; }\n' |
    x86_64-w64-mingw32-gcc -x c -o "$other/Uninstall.exe" - || fail "no stand-in uninstaller"
cp "$other/Uninstall.exe" "$display_work/standin.exe"
ends_with 6 "$setup" /S "/D=$(windows_path "$other")"
wine_idle
[ ! -e "$WINEPREFIX/drive_c/ran" ] || fail "the setup ran another program's uninstaller"
cmp -s "$other/Uninstall.exe" "$display_work/standin.exe" ||
    fail "the setup wrote over another program's uninstaller"
[ "$(ls -A "$other")" = Uninstall.exe ] || fail "the setup added to another program's folder: $(ls -A "$other")"
echo "into another program's folder: its Uninstall.exe not run, the same bytes, nothing added"
bash "$(dirname "$0")/notices_check.sh" "$app" || exit 1
for shortcut in "$menu/DAYVANE.lnk" "$startup"; do
    [ -f "$shortcut" ] || fail "no $shortcut"
    # Its working folder is a string of its own (after a length that may read as a letter).
    strings -el "$shortcut" | grep -q "$(sed 's/[\\.]/\\&/g' <<<"$app_windows")\$" ||
        fail "$shortcut starts elsewhere"
done
echo "shortcuts in the Start menu and the Startup folder, starting DAYVANE in its folder"
values=$("$wine" reg query "$key" | tr -d '\r')
echo "$values"
for value in DisplayName DisplayVersion Publisher DisplayIcon InstallLocation UninstallString \
    QuietUninstallString EstimatedSize NoModify NoRepair; do
    grep -q "^ *$value " <<<"$values" || fail "no $value under $key"
done
grep -qF "InstallLocation    REG_SZ    $app_windows" <<<"$values" || fail "InstallLocation"

# From the Start menu, on a task file with today's task.
today=$(date +%d%m%Y)
printf '%sWater the plants\r\n' "$today" >"$app/dayvane.dat"
cp "$app/dayvane.dat" "$display_work/before"
# start /wait ends as DAYVANE does, with its exit code, so that Close is seen to end it well.
(cd "$display_work" && exec "$wine" start /wait /unix "$menu/DAYVANE.lnk") &
started=$!
wait_window "Today's Task\\(s\\)" 60 || exit 1
program=$(xdotool getwindowpid "$window")
[ "$(readlink "/proc/$program/cwd")" = "$app" ] || fail "DAYVANE runs in $(readlink "/proc/$program/cwd")"
echo "started from the Start menu, in its folder, listing today's task"
focus_window "$window"
type_task "05032026Pay rent"
printf '05032026Pay rent\r\n' | cat "$display_work/before" - >"$display_work/after"
wait_until 10 cmp -s "$display_work/after" "$app/dayvane.dat" ||
    fail "the typed task is not saved as one record with CR LF"
echo "saved from the keyboard into $app_windows\\dayvane.dat"

# While it runs, nothing changes. (Wine is not idle until DAYVANE ends: the uninstaller is run
# in its folder, where it does not copy itself away.)
before=$(snapshot)
ends_with 3 "$setup" /S
ends_with 3 "$app/Uninstall.exe" /S "_?=$app_windows"
[ "$(snapshot)" = "$before" ] || fail "the install folder changed while DAYVANE ran"
echo "while DAYVANE runs, nothing changed"
close_program "$started" || exit 1
# A folder nobody may write to.
ends_with 4 "$setup" /S '/D=Z:\proc\dayvane'

# Again over it, the user having turned start at logon off: tasks and choice stay.
cp "$app/dayvane.dat" "$display_work/tasks"
rm "$startup"
run "$setup" /S || fail "installing again ended with $?"
cmp "$display_work/tasks" "$app/dayvane.dat" || fail "installing again changed the task file"
[ ! -e "$startup" ] || fail "installing again turned start at logon back on"
echo "installed again: the task file byte for byte, start at logon still off"

run "$app/Uninstall.exe" /S || fail "the uninstaller ended with $?"
[ "$(ls -A "$app")" = dayvane.dat ] || fail "the uninstaller left: $(ls -A "$app")"
cmp "$display_work/tasks" "$app/dayvane.dat" || fail "the uninstaller changed the task file"
[ ! -e "$menu/DAYVANE.lnk" ] || fail "the uninstaller left the Start-menu shortcut"
! "$wine" reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left $key"
echo "uninstalled: only the task file is left"
