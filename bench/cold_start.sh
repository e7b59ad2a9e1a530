#!/usr/bin/env bash
# What a cold start of the Linux release reads from disk: a start as at logon, when nothing
# of the program is in the page cache yet. Each run first drops from the cache every file a
# warm start of the program maps or opens (the release's libraries, plugins and fonts, and
# the system's libraries), and fontconfig's configuration and caches; then starts it on an
# X display with openbox (tests/display.sh) and, once its window shows, reads what the
# process read (/proc/PID/io read_bytes), and, file by file, how much of each is now cached
# (fincore). Pages another running program maps can't be dropped and stay cached, as at a
# real logon: the C library, and X11's client libraries, which the window search (xdotool)
# maps. Median of RUNS runs (default 5); the breakdown is the last run's. How much the disk
# reads ahead counts: at 8 MB a library touched at all is read nearly whole, at the kernel's
# default of 128 KB little more than its touched pages; it is printed with the figure.
# Usage: bench/cold_start.sh RELEASE [RUNS]   (RELEASE: the Linux .tar.gz, or its folder)
set -uo pipefail
release=$1 runs=${2:-5}
[ -e "$release" ] || { echo "no $release"; exit 2; }
tests=$(dirname "$0")/../tests
. "$tests/display.sh"
need fincore
export QT_QPA_PLATFORM=xcb
app=$display_work/app
mkdir "$app"
if [ -d "$release" ]; then
    cp -a "$release/." "$app"
else
    tar -xzf "$release" -C "$app" --strip-components=1
fi
printf '%sWater the plants\r\n' "$(date +%d%m%Y)" >"$app/dayvane.dat"

start() {
    "$app/dayvane" >/dev/null 2>&1 &
    pid=$!
    wait_window "Today's Task\\(s\\)" || exit 1
}
stop() {
    kill "$pid"
    wait "$pid" 2>/dev/null
    for _ in $(seq 500); do # until the window is gone, lest the next run take it for its own
        xdotool search --onlyvisible --name "^Today's Task\\(s\\)\$" >/dev/null 2>&1 || break
        sleep 0.01
    done
}

# What a warm start maps and opens; fontconfig's files are read whole and not kept open.
start
files=$({
    awk '$6 ~ /^\// { print $6 }' "/proc/$pid/maps"
    find "/proc/$pid/fd" -type l -printf '%l\n' 2>/dev/null
    find "$app" /etc/fonts /var/cache/fontconfig "$HOME/.cache/fontconfig" -type f 2>/dev/null
} | grep '^/' | sort -u | while read -r file; do [ -f "$file" ] && echo "$file"; done)
stop

reads=()
for _ in $(seq "$runs"); do
    sync
    while read -r file; do dd if="$file" iflag=nocache count=0 status=none 2>/dev/null; done <<<"$files"
    start
    reads+=($(awk '/^read_bytes:/ { print $2 }' "/proc/$pid/io"))
    breakdown=$(xargs -d '\n' fincore --bytes --noheadings --output RES,FILE <<<"$files" 2>/dev/null)
    stop
done

mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1e6 }'; }
sorted=($(printf '%s\n' "${reads[@]}" | sort -n))
echo "cold start, median of $runs: $(mb "${sorted[$((runs / 2))]}") read (all, bytes: ${reads[*]})"
ahead=$(lsblk -dno RA "$(findmnt -no SOURCE -T "$app")" 2>/dev/null) &&
    echo "  (the disk holding it reads ahead ${ahead// /} KB)"
echo "cached after the last start, by part:"
awk -v app="$app/" '$1 > 0 {
        file = $2
        if (index(file, app) == 1) file = substr(file, length(app) + 1)
        part = file ~ /libQt6|^plugins\// ? "Qt" : file ~ /^lib\// ? "the release'"'"'s other libraries" \
            : file ~ /^fonts\// ? "the release'"'"'s fonts" : file ~ /^\// ? "the system'"'"'s" : "the program"
        total[part] += $1
        if ($1 >= 500000) big[part] = big[part] sprintf(" %s %.1f", file, $1 / 1e6)
    }
    END { for (part in total) printf "  %-31s %5.1f MB%s\n", part, total[part] / 1e6, big[part] }' \
    <<<"$breakdown" | sort
echo "  (the system's counts what other programs keep cached too: it was never dropped)"
