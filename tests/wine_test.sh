#!/usr/bin/env bash
# Builds the operating-system seam's test for Windows with MinGW-w64 and runs it under Wine.
# Skipped (exit 77) where those tools are not installed.
# Usage: wine_test.sh SOURCE_DIR WORK_DIR
set -euo pipefail
src=$1 work=$2
cxx=$(command -v x86_64-w64-mingw32-g++-posix) || { echo "MinGW-w64 g++ not found: skipped"; exit 77; }
wine=$(command -v wine64 || command -v /usr/lib/wine/wine64) || { echo "wine64 not found: skipped"; exit 77; }
mkdir -p "$work"
"$cxx" -std=c++20 -Wall -Wextra -Werror -static -I"$src/src" "$src/tests/tst_osfile.cpp" \
    "$src/src/platform/osfile.cpp" -o "$work/tst_osfile.exe"
# A Wine prefix of the test's own, made on the first run.
export WINEPREFIX=$work/prefix WINEDEBUG=-all
unset DISPLAY WAYLAND_DISPLAY
"$wine" "$work/tst_osfile.exe" 'Z:'"$(printf '%s' "$work" | tr / '\\')"
