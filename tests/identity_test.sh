#!/usr/bin/env bash
# The program's identity on Windows: its version record and manifest say what they should, and
# its icon is the window's own picture, 32 x 32 in 16 colours. Given the resource script, it
# is compiled and its version record and manifest read; given DAYVANE.exe, all are read back
# from the executable.
# Skipped (exit 77) where the MinGW resource compiler or icoutils are not installed.
# Usage: identity_test.sh dayvane.rc | identity_test.sh DAYVANE.exe WINDOW_ICON.xpm
set -euo pipefail
in=$1
skip() { echo "skipped: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

if [[ $in == *.rc ]]; then
    windres=$(command -v x86_64-w64-mingw32-windres) || skip "windres is not installed"
    # The host's preprocessor will do: the script includes no system headers.
    "$windres" --preprocessor=cpp "$in" -O res -o "$out/version"
    cp "$out/version" "$out/manifest" # the compiled resources hold the manifest as it is
else
    for tool in wrestool icotool convert compare; do
        command -v $tool >/dev/null || skip "$tool is not installed"
    done
    wrestool -x --raw --type=version "$in" >"$out/version"
    [ -s "$out/version" ] || fail "no version record in $in"
    wrestool -x --raw --type=24 "$in" >"$out/manifest"
    [ -s "$out/manifest" ] || fail "no manifest in $in"
fi

# The manifest: started with the user's own rights, on Windows 10 and 11, long paths allowed,
# and the DPI awareness left to Qt.
manifest=$(tr -d '\0' <"$out/manifest")
for entry in '<requestedExecutionLevel level="asInvoker"' \
    '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' \
    '<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">true</longPathAware>'; do
    grep -qF "$entry" <<<"$manifest" || fail "manifest without $entry"
done
! grep -qi dpiAware <<<"$manifest" || fail "the manifest sets the DPI awareness Qt sets itself"
echo "manifest: all good"

strings=$(strings -el "$out/version")
for pair in "FileVersion 1.00" "ProductVersion 1.00" "ProductName DAYVANE" \
    "InternalName DAYVANE" "OriginalFilename DAYVANE.exe"; do
    grep -A1 -x "${pair% *}" <<<"$strings" | grep -qx "${pair#* }" || fail "$pair"
done
# The fixed record: its signature, then file version 1.0.0.0 and product version 1.0.0.0.
od -An -tx1 -v "$out/version" | tr -d ' \n' |
    grep -q bd04effe0000010000000100000000000000010000000000 || fail "version 1.0.0.0"
echo "version record: all good"
[[ $in == *.rc ]] && exit 0

# The icon: one picture, 32 x 32 at 4 bits (16 colours), the same as the window's.
wrestool -x --type=group_icon "$in" >"$out/icon.ico"
icotool -l "$out/icon.ico" 2>/dev/null | tee "$out/icons"
[ "$(wc -l <"$out/icons")" = 1 ] || fail "the icon should hold one picture"
grep -q -- '--width=32 --height=32 --bit-depth=4' "$out/icons" || fail "the icon is not 32 x 32 in 16 colours"
convert "$out/icon.ico" "$out/exe.png"
convert "$2" "$out/window.png"
differ=$(compare -metric AE "$out/exe.png" "$out/window.png" null: 2>&1) || true
[ "$differ" = 0 ] || fail "the executable's icon differs from the window's in $differ pixels"
echo "icon: all good"
