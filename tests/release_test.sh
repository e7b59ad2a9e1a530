#!/usr/bin/env bash
# The releases as a user gets them. Two clean clones of the last commit, in different folders
# and minutes apart, each make them with scripts/release: the archives and SHA256SUMS must be
# the same bytes. Then the Linux release is unpacked in a brand-new Debian 12 root that holds
# only what a desktop has, and used there (release_check.sh). Needs root and the network to
# Debian's archive for the bare root; skipped (exit 77) without them.
# Usage: release_test.sh SOURCE_DIR   (DAYVANE_QT_MINGW as for scripts/release)
set -uo pipefail
src=$(cd "$1" && pwd)
fail() { echo "FAIL: $*"; exit 1; }
work=$(mktemp -d)
root=$work/root
finish() {
    for m in dev/pts dev proc; do umount -l "$root/$m" 2>/dev/null; done
    rm -rf "$work"
}
trap finish EXIT

for run in first "second run"; do
    git clone -q "$src" "$work/$run/dayvane" || fail "cannot clone $src"
    (cd "$work/$run/dayvane" && scripts/release >"$work/$run.log" 2>&1) ||
        fail "scripts/release: $(tail -20 "$work/$run.log")"
done
first=$work/first/dayvane/dist second="$work/second run/dayvane/dist"
paste -d' ' <(sed 's/  .*//' "$first/SHA256SUMS") "$second/SHA256SUMS"
if ! diff -r "$first" "$second" >/dev/null; then
    command -v diffoscope >/dev/null && diffoscope "$first" "$second" | head -60
    fail "two releases of the same commit differ"
fi
echo "two releases of one commit: the same bytes"
# Nor does any file in them name the folder it was built in.
mkdir "$work/unpacked"
for archive in "$first"/DAYVANE-*; do
    case $archive in
    *.tar.gz) tar -xzf "$archive" -C "$work/unpacked" ;;
    *.zip) unzip -q "$archive" -d "$work/unpacked" ;;
    esac
done
! grep -rlaF "$work/first" "$work/unpacked" || fail "files in the release name the build folder"

[ "$(id -u)" = 0 ] || { echo "skipped: the bare root needs root"; exit 77; }
cache=${FRESH_CACHE:-${TMPDIR:-/tmp}/fresh-root-cache}
[ -x "$cache/bin/bash" ] || debootstrap --variant=minbase bookworm "$cache" >/dev/null ||
    { echo "skipped: debootstrap failed"; exit 77; }
cp -a "$cache" "$root"
cp /etc/resolv.conf "$root/etc/" 2>/dev/null
cp /etc/apt/sources.list.d/*.sources "$root/etc/apt/sources.list.d/" 2>/dev/null &&
    rm -f "$root/etc/apt/sources.list"
cp /etc/apt/apt.conf.d/99* "$root/etc/apt/apt.conf.d/" 2>/dev/null
for m in proc dev dev/pts; do mkdir -p "$root/$m" && mount --bind "/$m" "$root/$m"; done
cp "$first"/DAYVANE-*-linux-*.tar.gz "$root/tmp/release.tar.gz"
cp "$src/tests/release_check.sh" "$src/tests/display.sh" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }
install_in_root() {
    in_root apt-get install -y -qq --no-install-recommends "$@" >"$work/apt.log" 2>&1 ||
        fail "apt-get install $*: $(tail -5 "$work/apt.log")"
}
in_root apt-get update -qq >/dev/null 2>&1 || fail "apt-get update in the bare root"
# What a desktop session has, and no more: OpenGL and EGL (with the Wayland client library
# that comes with them), the X11 and xcb core, fontconfig and FreeType with one font, the
# keyboard data, D-Bus.
install_in_root libgl1 libopengl0 libegl1 libx11-6 libx11-xcb1 libxcb1 libxcb-randr0 libxcb-render0 \
    libxcb-shape0 libxcb-shm0 libxcb-sync1 libxcb-xfixes0 libxcb-xkb1 libfontconfig1 \
    libfreetype6 fonts-dejavu-core xkb-data libdbus-1-3
in_root bash /tmp/release_check.sh /tmp/release.tar.gz || fail "the release in a bare root"
# Then for the test alone: an X server with a window manager, and xdotool to type as the
# user does.
install_in_root xvfb openbox xdotool
in_root env TEST_TOOLS_INSTALLED=1 bash /tmp/release_check.sh /tmp/release.tar.gz ||
    fail "the release in a bare root"
echo "release: 2 passed, 0 failed"
