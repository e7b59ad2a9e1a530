# Sourced by the Wine tests: finds Wine, starts an X server of their own with openbox on it,
# and on exit ends what was started here, Wine's server for the prefix included. Skips
# (exit 77) where Wine, Xvfb or openbox is missing. Expects WINEPREFIX.
wine=$(command -v wine64 || command -v /usr/lib/wine/wine64) || { echo "skipped: wine64 is not installed"; exit 77; }
wineserver=$(command -v wineserver || command -v /usr/lib/wine/wineserver) ||
    { echo "skipped: wineserver is not installed"; exit 77; }
for tool in Xvfb openbox; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=" # no Mono or Gecko prompts
unset WAYLAND_DISPLAY
display_pids=()
display_work=$(mktemp -d)
end_display() {
    "$wineserver" -k 2>/dev/null
    for pid in "${display_pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait "${display_pids[@]}" 2>/dev/null
    rm -rf "$display_work"
}
trap end_display EXIT
Xvfb -displayfd 3 -screen 0 "${display_size:-1024x768}x24" -nolisten tcp 3>"$display_work/display" 2>/dev/null &
display_pids+=($!)
for _ in $(seq 100); do [ -s "$display_work/display" ] && break; sleep 0.1; done
[ -s "$display_work/display" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$display_work/display")
openbox >/dev/null 2>&1 &
display_pids+=($!)
mkdir -p "$WINEPREFIX"
# Sets the screen's dots per inch for the programs of this prefix started from here on.
wine_dpi() {
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    "$wineserver" -w
}
