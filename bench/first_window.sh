#!/usr/bin/env bash
# Start to first window, the same way for the Linux program and the Windows one under Wine:
# from starting the process until its window, with today's caption, is shown on an X
# display with openbox (tests/display.sh). For information; the start-up targets are
# measured by bench_startup. Median of RUNS runs (default 11), one task due today.
# Usage: bench/first_window.sh linux PROGRAM [RUNS]    (a build's, or an unpacked release's)
#        bench/first_window.sh windows ZIP [RUNS]     (Wine's own start included)
set -uo pipefail
kind=$1 what=$2 runs=${3:-11}
[ -f "$what" ] || { echo "no $what"; exit 2; }
tests=$(dirname "$0")/../tests
if [ "$kind" = windows ]; then
    export WINEPREFIX=${WINEPREFIX:-$(mktemp -d)/wine}
    . "$tests/wine_display.sh"
    unzip -q "$what" -d "$display_work"
    program=$(ls "$display_work"/*/DAYVANE.exe)
    command=("$wine" "$program")
    "$wine" wineboot -i >/dev/null 2>&1 # the prefix is made once, before the runs
else
    . "$tests/display.sh"
    copy_program "$what" "$display_work/app"
    program=$display_work/app/$(basename "$what")
    command=("$program")
    export QT_QPA_PLATFORM=xcb
fi
printf '%sWater the plants\r\n' "$(date +%d%m%Y)" >"$(dirname "$program")/dayvane.dat"
times=()
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "${command[@]}" >/dev/null 2>&1 &
    pid=$!
    wait_window "Today's Task\\(s\\)" || exit 1
    times+=($((($(date +%s%N) - start) / 1000000)))
    kill $pid
    wait $pid 2>/dev/null
    # The next run starts once this window is gone, so that it can't be taken for the next.
    for _ in $(seq 500); do
        xdotool search --onlyvisible --name "^Today's Task\\(s\\)\$" >/dev/null 2>&1 || break
        sleep 0.01
    done
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "$kind: start to first window, median of $runs: ${sorted[$((runs / 2))]} ms (all: ${times[*]})"
