#!/usr/bin/env bash
# The releases as a user gets them. Two clean clones of the last commit, in different folders,
# each make them with scripts/release, the Linux one in a Debian 11 root of its own: the
# archives, the setup, the sources, the bill of materials and SHA256SUMS must be the same
# bytes, and no file in them may name the folder it was built in. Each release must carry its
# licence and every bundled component's notice, and the bill of materials must pass the
# CycloneDX project's validator and give each file's checksum. The Linux release must ask for no more of glibc and the C++ library
# than the Debian it is built in has, and be small. Then it is unpacked in bare Debian 11, 12
# and 13 roots that hold only what a desktop has, and used there (release_check.sh), under
# Wayland too in Debian 12; and the screen-reader test runs against it here. The roots' mounts
# live in a mount namespace of this test's own, gone with it however it ends. Needs root and
# the network to Debian's archive; skipped (exit 77) without them, or without Qt for the Linux
# release.
# Usage: release_test.sh SOURCE_DIR   (DAYVANE_QT_LINUX and DAYVANE_QT_MINGW as for scripts/release)
set -uo pipefail
src=$(cd "$1" && pwd)
fail() { echo "FAIL: $*"; exit 1; }
[ "$(id -u)" = 0 ] || { echo "skipped: the Debian roots need root"; exit 77; }
. "$src/scripts/debian-root.sh"
private_mounts "$0" "$@"
work=$(mktemp -d)
roots=()
finish() {
    for root in "${roots[@]}"; do root_drop "$root"; done
    safe_remove "$work"
}
trap finish EXIT

# A ready Qt made by an older recipe is used all the same; said, so that it gets remade.
. "$src/scripts/qt-options.sh"
for kind in linux mingw; do
    folder=DAYVANE_QT_${kind^^}
    qt=${!folder:-}
    [ -f "$qt/debian-source" ] || continue
    configured=$(qt_configured "$kind")
    grep -qxF "$configured" "$qt/debian-source" || echo "NOTE: $qt was made by an older" \
        "scripts/make-qt-$kind: its record lacks \"$configured\". Remake it from the recipe."
done

for run in first "second run"; do
    git clone -q "$src" "$work/$run/dayvane" || fail "cannot clone $src"
    (cd "$work/$run/dayvane" && scripts/release >"$work/$run.log" 2>&1) ||
        fail "scripts/release: $(tail -20 "$work/$run.log")"
done
first=$work/first/dayvane/dist second="$work/second run/dayvane/dist"
grep -h 'skipped' "$work/first.log"
paste -d' ' <(sed 's/  .*//' "$first/SHA256SUMS") "$second/SHA256SUMS"
if ! diff -r "$first" "$second" >/dev/null; then
    command -v diffoscope >/dev/null && diffoscope "$first" "$second" | head -60
    fail "two releases of the same commit differ"
fi
echo "two releases of one commit, each built in a root of its own: the same bytes"
mkdir "$work/unpacked"
for archive in "$first"/DAYVANE-*; do
    case $archive in
    *.tar.gz) tar -xzf "$archive" -C "$work/unpacked" ;;
    *.zip) unzip -q "$archive" -d "$work/unpacked" ;;
    *.tar.xz) tar -xJf "$archive" -C "$work/unpacked" ;;
    esac
done
# Neither the clone's folder nor the root's (/src, /build), where the Linux program is built;
# Qt's own, in the root it was built in (/build/qtbase and so on), are the same on every run.
# The sources name the root's folders, in the scripts that make it: only the clone's counts there.
named=$(grep -rlaP --exclude-dir="DAYVANE-*-sources" \
    "\\Q$work/first\\E|(?<![[:alnum:]_.~-])/(src|build(?!/(qtbase|qtwayland|b-base|b-way)/))/" \
    "$work/unpacked" "$first"; grep -rlaF "$work/first" "$work"/unpacked/DAYVANE-*-sources)
[ -z "$named" ] || fail "files in the release name the build folder: $named"
ls -l "$first"

# What each release owes others, and its bill of materials, checked with the CycloneDX
# project's own library.
rm -rf "$work/unpacked"/DAYVANE-*-sources
bash "$src/tests/notices_check.sh" "$work"/unpacked/DAYVANE-* || exit 1
command -v npm >/dev/null || "$src/scripts/setup" nodejs npm
cp -r "$src/tests/sbom" "$work/sbom"
validator=()
if ! (cd "$work/sbom" && npm ci --omit=optional --no-audit --no-fund >npm.log 2>&1); then
    # Only a registry out of reach (no network, or a proxy whose certificate this machine
    # does not trust) leaves out the validator, saying so; the checksums are checked still.
    reason=$(grep -o -m1 -E 'SELF_SIGNED_CERT_IN_CHAIN|UNABLE_TO_[A-Z_]+|E(NOTFOUND|CONNREFUSED|CONNRESET|TIMEDOUT|AI_AGAIN|NETUNREACH)' "$work/sbom/npm.log") ||
        fail "npm ci: $(tail -5 "$work/sbom/npm.log")"
    echo "The bill of materials is not validated: the npm registry is out of reach ($reason)"
    validator=(--no-validator)
fi
node "$work/sbom/check.mjs" "${validator[@]}" "$first"/DAYVANE-*.cdx.json "$first" "$work/unpacked" || exit 1
sources=$(ls "$first"/DAYVANE-*-sources.tar.xz)
listing=$(tar -tJf "$sources")
echo "$(basename "$sources"), $(stat -c %s "$sources") bytes, $(grep -c '[^/]$' <<<"$listing") files:"
awk -F/ '$2 == "dayvane" { if ($NF != "") n++; next } { print "  " $0 } END { print "  and " n " files under dayvane/" }' <<<"$listing"
grep -q '/qt/qt6-wayland_.*\.dsc$' <<<"$listing" || fail "the sources lack Qt's"

tarball=$(ls "$first"/DAYVANE-*-linux-*.tar.gz 2>/dev/null)
[ -n "$tarball" ] || { echo "skipped: no Linux release to try"; exit 77; }
app=$(echo "$work"/unpacked/DAYVANE-*-linux-*)
packed=$(stat -c %s "$tarball") unpacked=$(du -sb "$app" | cut -f1)
echo "Linux release: $packed bytes packed, $unpacked unpacked; the largest files:"
find "$app" -type f -printf '%s %P\n' | sort -rn | head -5
((packed <= 12000000 && unpacked <= 30000000)) || fail "the Linux release is too large"
# The highest version of each of glibc's and the C++ library's symbol sets that FILES ask for.
highest() {
    find -L "$@" -type f \( -name dayvane -o -name '*.so*' \) -exec objdump -T {} + |
        grep -o '\(GLIBC\|GLIBCXX\|CXXABI\)_[0-9][0-9.]*' | sort -u | sort -t_ -k1,1 -k2V |
        awk -F_ '{ last[$1] = $0 } END { for (n in last) print last[n] }' | sort
}

# In bare roots with what a desktop has: glibc, the C++ library, libX11 and libxcb, fontconfig
# and FreeType with one font, the keyboard data, and the Wayland client library.
desktop=(libc6 libstdc++6 libx11-6 libx11-xcb1 libxcb1 libfontconfig1 libfreetype6
    libwayland-client0 fonts-dejavu-core xkb-data)
for suite in "$build_suite" bookworm trixie; do
    root=$work/$suite
    roots+=("$root")
    root_make "$suite" "$root" || fail "no Debian $suite root"
    root_install "$root" "${desktop[@]}" || fail "Debian $suite"
    if [ "$suite" = "$build_suite" ]; then
        # No more than the oldest Debian it runs on, where it is built, has to give.
        has=$(highest "$root/lib/x86_64-linux-gnu/libc.so.6" "$root/usr/lib/x86_64-linux-gnu/libstdc++.so.6")
        asks=$(highest "$app")
        paste <(sed 's/^/asks for /' <<<"$asks") <(sed "s/^/Debian $suite has /" <<<"$has")
        while read -r wanted; do
            printf '%s\n' "$wanted" "$(grep "^${wanted%%_*}_" <<<"$has")" | sort -VC ||
                fail "the release asks for $wanted, more than Debian $suite has"
        done <<<"$asks"
    fi
    cp "$tarball" "$root/tmp/release.tar.gz"
    cp "$src/tests/release_check.sh" "$src/tests/display.sh" "$src/tests/waits.sh" "$root/tmp/"
    check() { root_run "$root" bash /tmp/release_check.sh /tmp/release.tar.gz "$1" | sed "s/^/Debian $suite: /"; }
    check ldd || fail "Debian $suite"
    # Then for the test alone: an X server with a window manager, and xdotool to type as a
    # user does.
    root_install "$root" xvfb openbox xdotool || fail "Debian $suite"
    check x11 || fail "Debian $suite"
    if [ "$suite" = bookworm ]; then
        root_install "$root" weston || fail "Debian $suite"
        check wayland || fail "Debian $suite"
    fi
    root_drop "$root"
done

# What a screen reader meets in the release, on this machine's desktop libraries.
bash "$src/tests/atspi_test.sh" "$src" "$app/dayvane" || fail "the screen-reader test on the release"
echo "release: all good"
