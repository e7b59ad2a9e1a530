#!/usr/bin/env bash
# Installs into a throw-away home: every file lands where it should, the launcher is valid,
# and an existing task file survives an upgrade and an uninstall byte for byte.
# Usage: install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1 build=$2
export HOME
HOME=$(mktemp -d)
trap 'rm -rf "$HOME"' EXIT
unset XDG_CONFIG_HOME XDG_DATA_HOME
fail() { echo "FAIL: $*"; exit 1; }

prefix=$HOME/.local/opt/dayvane
launcher=$HOME/.local/share/applications/org.example.Dayvane.desktop
autostart=$HOME/.config/autostart/org.example.Dayvane.desktop
png=$HOME/.local/share/icons/hicolor/32x32/apps/org.example.Dayvane.png
svg=$HOME/.local/share/icons/hicolor/scalable/apps/org.example.Dayvane.svg

"$src/scripts/install" --from="$build" >/dev/null
[ -x "$prefix/dayvane" ] || fail "program not installed"
for f in "$launcher" "$png" "$svg"; do [ -f "$f" ] || fail "missing $f"; done
[ ! -e "$autostart" ] || fail "start at login must be asked for"
grep -qx "Exec=\"$prefix/dayvane\"" "$launcher" || fail "launcher runs the wrong program"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$launcher" || fail "launcher is not valid"
else
    echo "desktop-file-validate not found: launcher not validated"
fi
if command -v identify >/dev/null; then
    [ "$(identify -format '%wx%h' "$png")" = 32x32 ] || fail "icon is not 32 x 32"
fi

# An upgrade with start at login, over a task file in use.
printf '05032026Pay rent\r\n01012020\xe9t\xe9\r\nno terminator' >"$prefix/dayvane.dat"
cp "$prefix/dayvane.dat" "$HOME/tasks.before"
"$src/scripts/install" --from="$build" --autostart >/dev/null
cmp "$prefix/dayvane.dat" "$HOME/tasks.before" || fail "install changed the task file"
[ -f "$autostart" ] || fail "no start at login entry"
"$src/scripts/install" --from="$build" --no-autostart >/dev/null
[ ! -e "$autostart" ] || fail "start at login not removed"
"$src/scripts/install" --from="$build" --autostart >/dev/null

out=$("$src/scripts/uninstall")
cmp "$prefix/dayvane.dat" "$HOME/tasks.before" || fail "uninstall changed the task file"
grep -q "$prefix/dayvane.dat" <<<"$out" || fail "uninstall does not say where the tasks stay"
for f in "$prefix/dayvane" "$launcher" "$autostart" "$png" "$svg"; do
    [ ! -e "$f" ] || fail "uninstall left $f"
done
[ "$(ls -A "$prefix")" = dayvane.dat ] || fail "uninstall left more than the task file"

# A folder whose name the launcher must quote: Exec escapes it, and the entry stays valid.
odd="$HOME/my \"odd\" \$folder 100% é"
mkdir -p "$odd"
cmake --install "$build" --prefix "$odd" >/dev/null
"$odd/install-launcher" >/dev/null
grep -qxF 'Exec="'"$HOME"'/my \\"odd\\" \\$folder 100%% é/dayvane"' "$launcher" ||
    fail "launcher for an odd folder: $(grep Exec "$launcher")"
! command -v desktop-file-validate >/dev/null || desktop-file-validate "$launcher" ||
    fail "launcher for an odd folder is not valid"
echo "install, upgrade and uninstall: all good"
