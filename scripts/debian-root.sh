# Sourced by what builds or tries DAYVANE in a Debian system of its own: Qt for the Linux
# release and the release itself are built in Debian 11, the oldest system they run on, and
# the release is tried in bare Debian 11, 12 and 13. Needs root and the network to Debian's
# archive; each suite is fetched once by debootstrap into a cache, and every root is a fresh
# copy of it.
#   root_make SUITE DIR       a minimal Debian SUITE in DIR, its /proc and /dev mounted
#   root_run DIR COMMAND...   runs COMMAND there, with a clean environment
#   root_install DIR PKGS...  installs packages there (no recommends), quietly
#   root_drop DIR             unmounts and removes DIR
#   debian_source PKG=VER...  downloads these source packages of this machine's Debian into
#                             the current folder, through a deb-src entry removed afterwards
roots_cache=${DAYVANE_ROOTS_CACHE:-${TMPDIR:-/tmp}/dayvane-roots}

# What Qt for the Linux release is built with, and what the release is built and bundled with.
qt_linux_build_packages=(build-essential cmake ninja-build perl python3 pkg-config xz-utils
    patchelf libx11-dev libx11-xcb-dev libxcb1-dev libxcb-icccm4-dev libxcb-image0-dev
    libxcb-keysyms1-dev libxcb-randr0-dev libxcb-render-util0-dev libxcb-render0-dev
    libxcb-shape0-dev libxcb-shm0-dev libxcb-sync-dev libxcb-xfixes0-dev libxcb-xkb-dev
    libxcb-xinput-dev libxcb-util-dev libxkbcommon-dev libxkbcommon-x11-dev libfontconfig1-dev
    libfreetype6-dev libdbus-1-dev libwayland-dev libwayland-bin libatspi2.0-dev fonts-liberation2)

root_make() {
    local suite=$1 dir=$2
    if [ ! -x "$roots_cache/$suite/bin/bash" ]; then
        command -v debootstrap >/dev/null ||
            DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
        rm -rf "$roots_cache/$suite.part"
        mkdir -p "$roots_cache"
        debootstrap --variant=minbase "$suite" "$roots_cache/$suite.part" \
            http://deb.debian.org/debian >"$roots_cache/$suite.log" 2>&1 ||
            { tail -5 "$roots_cache/$suite.log"; return 1; }
        mv "$roots_cache/$suite.part" "$roots_cache/$suite"
    fi
    cp -a "$roots_cache/$suite" "$dir"
    printf 'deb http://deb.debian.org/debian %s main\n' "$suite" "$suite-updates" \
        >"$dir/etc/apt/sources.list"
    printf 'deb http://deb.debian.org/debian-security %s-security main\n' "$suite" \
        >>"$dir/etc/apt/sources.list"
    cp /etc/resolv.conf "$dir/etc/" 2>/dev/null || true
    # This machine's own settings for reaching the archive, if it has any.
    cp /etc/apt/apt.conf.d/99* "$dir/etc/apt/apt.conf.d/" 2>/dev/null || true
    for m in proc dev dev/pts; do mkdir -p "$dir/$m" && mount --bind "/$m" "$dir/$m"; done
    root_run "$dir" apt-get update -qq >/dev/null
}

root_run() {
    local dir=$1
    shift
    chroot "$dir" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        DEBIAN_FRONTEND=noninteractive "$@"
}

root_install() {
    local dir=$1 log
    shift
    log=$(root_run "$dir" apt-get install -y -qq --no-install-recommends "$@" 2>&1) ||
        { echo "apt-get install $*: $(tail -5 <<<"$log")"; return 1; }
}

root_drop() {
    local dir=$1
    for m in dev/pts dev proc; do umount -l "$dir/$m" 2>/dev/null || true; done
    # Never into a mount that is still there: it would be the machine's own /dev.
    rm -rf --one-file-system "$dir"
}

debian_source() {
    local sources=/etc/apt/sources.list.d/dayvane-src.sources status=0
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources >"$sources"
    trap 'rm -f /etc/apt/sources.list.d/dayvane-src.sources; apt-get update -qq' EXIT
    apt-get update -qq && apt-get source --download-only "$@" || status=$?
    rm -f "$sources"
    apt-get update -qq
    trap - EXIT
    return $status
}
