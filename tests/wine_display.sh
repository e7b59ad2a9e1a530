# Sourced by the Wine tests: finds Wine and gives them a display of their own (display.sh);
# on exit Wine's server for the prefix ends too. Skips (exit 77) where Wine is missing.
# Expects WINEPREFIX. Gives, beside display.sh's:
#   wine_dpi DPI              the screen's dots per inch for the programs started from here on
#   wine_idle [S]             waits until the prefix's programs have all ended, at most S (60)
#   windows_path PATH         PATH as Windows programs name it
#   windows_package DIR KIND  sets `package` to the package of KIND (zip or setup) built in
#                             DIR, or fails
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
wine_idle() {
    timeout "${1:-60}" "$wineserver" -w || fail "Wine's programs did not end within ${1:-60} s"
}
wine_dpi() {
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wine_idle
}
windows_path() { "$wine" winepath -w "$1" 2>/dev/null | tr -d '\r'; }
windows_package() {
    local suffix
    case $2 in zip) suffix=.zip ;; setup) suffix=-setup.exe ;; esac
    package=$(ls "$1"/DAYVANE-*-windows-x64$suffix 2>/dev/null | head -1)
    [ -n "$package" ] || fail "no $2 in $1: run scripts/build-windows"
}
