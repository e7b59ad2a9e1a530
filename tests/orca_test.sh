#!/usr/bin/env bash
# What a blind user hears: the real program with the Orca screen reader, on a display with a
# window manager and buses of its own (display.sh) and a fresh home. No speech server is
# started; Orca's debug log still holds every line it would speak, which this test reads
# after each key, once the log is still. Skipped (exit 77) where Orca cannot run.
# Usage: orca_test.sh SOURCE_DIR PROGRAM
set -uo pipefail
src=$1 program=$2
display_buses=1
. "$src/tests/display.sh"
need orca script
unset QT_QPA_PLATFORM

export HOME=$display_work/home XDG_RUNTIME_DIR=$display_work/run
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
export SPEECHD_CMD=/nonexistent # no speech server: the log is what we listen to
log=$display_work/orca.log
# Orca writes its debug log as it goes only to a terminal, which script gives it.
script -qfec "exec orca --debug-file=/dev/stdout" "$log" >/dev/null 2>&1 &
terminal=$! orca=
# Orca first, and script ends once it has reaped it: Orca takes any orca process left on the
# machine, a zombie too, for a screen reader already running, and would not start.
end_orca() {
    [ -z "$orca" ] || kill "$orca" 2>/dev/null
    wait_until 5 gone "$terminal"
    kill "$terminal" 2>/dev/null
    wait "$terminal" 2>/dev/null
}
trap 'end_orca; end_display' EXIT
find_orca() { orca=$(pgrep -P $terminal -x orca); }
wait_until 5 find_orca
wait_until 30 grep -q 'Starting registry' "$log" ||
    { echo "skipped: Orca did not start"; tail -5 "$log"; exit 77; }

# Whether Orca's log has stayed the same size for half a second.
log_still() {
    local size
    size=$(stat -c %s "$log")
    [ "$size" = "${last_size:-}" ] && (($(now_ms) - last_change >= 500)) && return 0
    [ "$size" = "${last_size:-}" ] || last_size=$size last_change=$(now_ms)
    return 1
}
# Waits until Orca's log is still (at most 10 s), then prints what was spoken since byte $1.
spoken_since() {
    last_size= last_change=$(now_ms)
    wait_until 10 log_still
    tail -c +$(($1 + 1)) "$log" | tr -d '\r' |
        sed -n "s/.*SPEECH OUTPUT: '\(.*\)' *{'established.*/\1/p" | grep -v "^[a-z ]* $"
}

# Presses KEYS (xdotool's names) and checks that what Orca then says holds each PHRASE.
# Usage: hear "what it is" "KEYS" PHRASE...
hear() {
    local what=$1 keys=$2 from spoken
    shift 2
    from=$(stat -c %s "$log")
    [ -z "$keys" ] || xdotool key --delay 150 $keys
    spoken=$(spoken_since "$from")
    echo "$what: $(tr '\n' ' ' <<<"$spoken")"
    for phrase; do
        grep -qF "$phrase" <<<"$spoken" || fail "$what: Orca did not say \"$phrase\""
    done
}

# Orca goes on setting itself up after its registry starts; a window that comes up meanwhile
# has been heard without its frame. The program starts once Orca's log is still.
last_size= last_change=$(now_ms)
wait_until 10 log_still
from=$(stat -c %s "$log")
start_program "$program" "Pay rent" "Call mum" || exit 1

hear "start-up" "" "Today's Task(s) frame" "2 tasks due today: Pay rent; Call mum" \
    "Day of the month the task falls due"
hear "Tab to the month" Tab "Month text" "Month the task falls due"
hear "Tab to the year" Tab "Year text" "Year the task falls due"
hear "Tab to the message" Tab "Message to Dayvane text" "What to be reminded of"
hear "Tab to Save" Tab "Save push button" "Saves the task"
hear "Tab to Close" Tab "Close push button" "Closes DAYVANE"
hear "Tab to the list" Tab "Today's tasks text" "Pay rent" "2 tasks due today"
hear "Tab to Do not forget" Tab "Do not forget push button" "Puts the list"
hear "Tab to Today's Work" Tab "Today's Work push button" "Shows the tasks"
hear "Do not forget" "shift+Tab space" "Task Dayvane" "list of today's tasks is put away" \
    "Day of the month"
hear "Today's Work" "shift+Tab space" "Today's tasks text" "2 tasks due today: Pay rent; Call mum"
hear "Save with empty fields" "shift+Tab shift+Tab Return" "alert" "something wrong"
# Whether Orca names the window again as the box closes depends on how soon the window is
# active once more; where the focus lands is what matters.
hear "the message answered" Return "Save push button"
echo "Orca: all good"
