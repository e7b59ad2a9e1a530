#!/usr/bin/env bash
# Start to first window, the same way for the Linux program and the Windows one under Wine:
# from starting the process until its window, with today's caption, is mapped on an X
# display with openbox (found with xdotool). For information; the start-up targets are
# measured by bench_startup. Median of RUNS runs (default 11), one task due today.
# Usage: bench/first_window.sh linux PROGRAM [RUNS]
#        bench/first_window.sh windows ZIP [RUNS]     (Wine's own start included)
set -uo pipefail
kind=$1 what=$2 runs=${3:-11}
export WINEPREFIX=${WINEPREFIX:-$(mktemp -d)/wine}
. "$(dirname "$0")/../tests/wine_display.sh"
work=$display_work
if [ "$kind" = windows ]; then
    unzip -q "$what" -d "$work"
    program=$(ls "$work"/*/DAYVANE.exe)
    command=("$wine" "$program")
    "$wine" wineboot -i >/dev/null 2>&1 # the prefix is made once, before the runs
else
    cp "$what" "$work/dayvane"
    program=$work/dayvane
    command=("$program")
    export QT_QPA_PLATFORM=xcb
fi
printf '%sWater the plants\r\n' "$(date +%d%m%Y)" >"$(dirname "$program")/dayvane.dat"
times=()
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    "${command[@]}" >/dev/null 2>&1 &
    pid=$!
    # Looked for every 10 ms: xdotool's own --sync looks only every half second.
    until [ -n "$(xdotool search --onlyvisible --name "^Today's Task\\(s\\)\$" 2>/dev/null)" ]; do
        sleep 0.01
    done
    times+=($((($(date +%s%N) - start) / 1000000)))
    kill $pid
    wait $pid 2>/dev/null
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "$kind: start to first window, median of $runs: ${sorted[$((runs / 2))]} ms (all: ${times[*]})"
