#!/usr/bin/env bash
# The unzipped Windows program on a high-DPI screen, under Wine at DPI dots per inch: the
# window's inside is DPI/96 times 368 x 369 and shows the window's colours. The screenshot
# is left as BUILD_DIR/window-<DPI>dpi.png. Skipped (exit 77) where Wine or the tools are
# missing. Captions in their boxes are checked in-process by tst_form1 at the same DPI.
# Usage: wine_dpi_test.sh BUILD_DIR DPI
set -uo pipefail
build=$1 dpi=$2
export WINEPREFIX=$build/wine-${dpi}dpi
display_size=1920x1200 # room for the whole window at 2 x
. "$(dirname "$0")/wine_display.sh"
need unzip convert
windows_package "$build" zip
wine_dpi "$dpi"

work=$display_work
unzip -q "$package" -d "$work/app"
app=$(dirname "$(ls "$work"/app/*/DAYVANE.exe)")
printf '%sWater the plants\r\n' "$(date +%d%m%Y)" >"$app/dayvane.dat"
"$wine" "$(windows_path "$app/DAYVANE.exe")" &
program=$!
trap 'kill $program 2>/dev/null; end_wine' EXIT
wait_window "Today's Task\\(s\\)" 60 || exit 1
focus_window "$window"
shot=$build/window-${dpi}dpi.png
want="$(((368 * dpi + 48) / 96))x$(((369 * dpi + 48) / 96))"
# Its inside, once it is drawn at its size.
drawn() {
    import -window "$window" "$shot"
    inside=$(convert "$shot" -fill black +opaque '#FFFFC0' -trim -format '%wx%h' info:)
    [ "$inside" = "$want" ]
}
wait_until 10 drawn
echo "at $dpi dpi the window's inside is $inside (368x369 at 96 dpi)"
[ "$inside" = "$want" ] || fail "the window's inside is $inside, not $want"
colours=$(convert "$shot" -unique-colors txt:- | grep -o '#[0-9A-F]\{6\}')
for colour in FFFFC0 FF00FF FF0000 80FF80 FFC080 FFFF00; do
    grep -qx "#$colour" <<<"$colours" || fail "no #$colour in the window"
done
echo "the window's colours: all there"
