#!/usr/bin/env bash
# The Windows resource script compiles, and its version record says what it should.
# Skipped (exit 77) where the MinGW resource compiler is not installed.
set -euo pipefail
rc=$1
windres=$(command -v x86_64-w64-mingw32-windres) || { echo "windres not found: skipped"; exit 77; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# The host's preprocessor will do: the script includes no system headers.
"$windres" --preprocessor=cpp "$rc" -O res -o "$out/dayvane.res"
strings=$(strings -el "$out/dayvane.res")
for pair in "FileVersion 1.00" "ProductVersion 1.00" "ProductName DAYVANE" \
    "InternalName DAYVANE" "OriginalFilename DAYVANE.exe"; do
    grep -A1 -x "${pair% *}" <<<"$strings" | grep -qx "${pair#* }" || { echo "FAIL: $pair"; exit 1; }
done
# The fixed record: its signature, then file version 1.0.0.0 and product version 1.0.0.0.
od -An -tx1 -v "$out/dayvane.res" | tr -d ' \n' |
    grep -q bd04effe0000010000000100000000000000010000000000 || { echo "FAIL: version 1.0.0.0"; exit 1; }
echo "resource script: all good"
