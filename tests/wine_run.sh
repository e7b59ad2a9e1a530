#!/usr/bin/env bash
# Runs a Windows program under Wine, on an X display of its own with a window manager: Wine
# needs a display for any window, and without a manager every window that hides waits 2 s
# for one. A Qt Test's output doesn't reach a pipe under Wine, so the tests write it to a
# file (-o FILE,txt), printed here once the program ends. Skipped (exit 77) without Wine.
# With DAYVANE_WINE_DPI set, the program runs at that many dots per inch, in a prefix of its
# own (Qt takes no QT_* variables through Wine; Wine's LogPixels sets the screen's DPI).
# Usage: wine_run.sh WINEPREFIX DLL_DIRS PROGRAM [ARGS...]   (DLL_DIRS separated by ':')
set -uo pipefail
export WINEPREFIX=$1${DAYVANE_WINE_DPI:+-${DAYVANE_WINE_DPI}dpi}
dlls=$2
shift 2
. "$(dirname "$0")/wine_display.sh"
[ -z "${DAYVANE_WINE_DPI:-}" ] || wine_dpi "$DAYVANE_WINE_DPI"

# Where Windows finds the libraries: the program's PATH, given to Wine as WINEPATH.
WINEPATH=$(tr ':' '\n' <<<"$dlls" | while read -r dir; do windows_path "$dir"; done | paste -sd';')
export WINEPATH

out=
for arg; do
    case $arg in *,txt) out=${arg%,txt} ;; esac
done
[ -z "$out" ] || rm -f "$out"
timeout -k 10 500 "$wine" "$@"
status=$?
[ -z "$out" ] || cat "$out" 2>/dev/null
exit $status
