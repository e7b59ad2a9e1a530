# Sourced by the Wine tests: finds Wine and gives them a display of their own (display.sh);
# on exit Wine's server for the prefix ends too. Skips (exit 77) where Wine is missing.
# Expects WINEPREFIX.
wine=$(command -v wine64 || command -v /usr/lib/wine/wine64) || { echo "skipped: wine64 is not installed"; exit 77; }
wineserver=$(command -v wineserver || command -v /usr/lib/wine/wineserver) ||
    { echo "skipped: wineserver is not installed"; exit 77; }
. "$(dirname "${BASH_SOURCE[0]}")/display.sh"
# No Mono or Gecko prompts, and no menu entries made for this machine.
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
end_wine() {
    "$wineserver" -k 2>/dev/null
    end_display
}
trap end_wine EXIT
mkdir -p "$WINEPREFIX"
# Sets the screen's dots per inch for the programs of this prefix started from here on.
wine_dpi() {
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    "$wineserver" -w
}
