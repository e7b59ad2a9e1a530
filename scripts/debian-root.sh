# Sourced by what builds or tries DAYVANE in a Debian system of its own: Qt for the Linux
# release and the release itself are built in Debian 11, the oldest system they run on, and
# the release is tried in bare Debian 11, 12 and 13. Needs root and the network to Debian's
# archive, which debootstrap and this machine's apt settings name; each suite is fetched once
# by debootstrap into a cache, and every root is a fresh copy of it. Nothing here changes this
# machine's own configuration.
#   private_mounts SCRIPT ARGS...
#                             runs SCRIPT again in a mount namespace of its own, unless it is
#                             in one already: the roots' mounts end with it, however it ends
#   root_make SUITE DIR       a minimal Debian SUITE in DIR, its /proc and /dev mounted, with
#                             updates and security fixes from where this machine takes its own
#   root_sources SUITE MIRROR [APT_DIR]
#                             the apt sources such a root gets (see there)
#   root_run DIR COMMAND...   runs COMMAND there, with a clean environment
#   root_install DIR PKGS...  installs packages there (no recommends), quietly
#   root_drop DIR             unmounts and removes DIR
#   safe_remove DIR           removes DIR, unless a mount is still found under it
#   debian_source PKG=VER...  downloads these source packages of Debian's source_suite into the
#                             current folder, fetched in a root of their own
#   source_record DIR PKG=VER [CHANGED...]
#                             what a build from DIR, that source unpacked by dpkg-source, was
#                             made from: a stanza of a Qt folder's debian-source record
roots_cache=${DAYVANE_ROOTS_CACHE:-${TMPDIR:-/tmp}/dayvane-roots}
. "$(dirname "${BASH_SOURCE[0]}")/pins.sh"

# What Qt for the Linux release is built with, and what the release is built and bundled with.
qt_linux_build_packages=(build-essential cmake ninja-build perl python3 pkg-config xz-utils
    patchelf libx11-dev libx11-xcb-dev libxcb1-dev libxcb-icccm4-dev libxcb-image0-dev
    libxcb-keysyms1-dev libxcb-randr0-dev libxcb-render-util0-dev libxcb-render0-dev
    libxcb-shape0-dev libxcb-shm0-dev libxcb-sync-dev libxcb-xfixes0-dev libxcb-xkb-dev
    libxcb-xinput-dev libxcb-util-dev libxkbcommon-dev libxkbcommon-x11-dev libfontconfig1-dev
    libfreetype6-dev libdbus-1-dev libwayland-dev libwayland-bin libatspi2.0-dev fonts-liberation2)

private_mounts() {
    [ -z "${DAYVANE_PRIVATE_MOUNTS:-}" ] && [ "$(id -u)" = 0 ] || return 0
    export DAYVANE_PRIVATE_MOUNTS=1 # tried once, for this script and all it runs
    # In a chroot, whose / is no mount point, a namespace cannot be made private.
    if ! unshare --mount --propagation private true 2>/dev/null; then
        echo "No mount namespace of our own here (a chroot?): each root's mounts are undone" \
            "as it is dropped, and nothing is removed while a mount is under it." >&2
        return 0
    fi
    local script
    script=$(realpath "$1")
    shift
    exec unshare --mount --propagation private bash "$script" "$@"
}

# This machine's Debian mirror, where its apt has one; otherwise debootstrap's own.
debian_mirror() {
    apt_entries | awk '$1 ~ /\/debian\/?$/ { print $1; exit }'
}

# The entries of an apt configuration (APT_DIR, this machine's /etc/apt), "URI SUITE" a line,
# read alike from the one-line form (options such as [signed-by=…] and all) and from deb822
# stanzas; source and disabled entries left out.
apt_entries() {
    local apt=${1:-/etc/apt} file
    cat "$apt/sources.list" "$apt"/sources.list.d/*.list 2>/dev/null |
        sed -n 's/^[[:space:]]*deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\{0,1\}\([^[:space:]]\+\)[[:space:]]\+\([^[:space:]]\+\).*/\2 \3/p'
    for file in "$apt"/sources.list.d/*.sources; do
        [ ! -f "$file" ] || awk '
            function flush(  u, s, nu, ns, us, ss) {
                if (f["types"] ~ /(^| )deb( |$)/ && tolower(f["enabled"]) != "no") {
                    nu = split(f["uris"], us, " "); ns = split(f["suites"], ss, " ")
                    for (u = 1; u <= nu; u++) for (s = 1; s <= ns; s++) print us[u], ss[s]
                }
                delete f
            }
            /^#/ { next }
            /^[[:space:]]*$/ { flush(); next }
            /^[[:space:]]/ { f[key] = f[key] " " $0; next }
            {
                key = tolower(substr($0, 1, index($0, ":") - 1))
                f[key] = substr($0, index($0, ":") + 1)
                gsub(/^[[:space:]]+|[[:space:]]+$/, "", f[key])
            }
            END { flush() }' "$file"
    done
}

# The apt sources of a root of SUITE: the suite from MIRROR, where debootstrap took it, and its
# updates and security fixes from where this machine's apt (APT_DIR) takes its own, for SUITE.
# Options are left out: a keyring they name is this machine's, and the root trusts Debian's
# keys of its own. Where this machine has no such archive, the root has none, saying so.
root_sources() {
    local suite=$1 mirror=$2 entries kind uri
    entries=$(apt_entries "${3:-}")
    echo "deb $mirror $suite main"
    for kind in updates security; do
        uri=$(awk -v kind="$kind" '$2 ~ ("-" kind "$") || (kind == "security" && $2 ~ /\/updates$/) {
            print $1; exit }' <<<"$entries")
        if [ -n "$uri" ]; then
            echo "deb $uri $suite-$kind main"
        else
            echo "The Debian $suite root gets no $suite-$kind: this machine's apt has no $kind archive" >&2
        fi
    done
}

root_make() {
    local suite=$1 dir=$2 mirror
    if [ ! -x "$roots_cache/$suite/bin/bash" ]; then
        command -v debootstrap >/dev/null ||
            DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null
        rm -rf "$roots_cache/$suite.part"
        mkdir -p "$roots_cache"
        debootstrap --variant=minbase "$suite" "$roots_cache/$suite.part" $(debian_mirror) \
            >"$roots_cache/$suite.log" 2>&1 || { tail -5 "$roots_cache/$suite.log"; return 1; }
        mv "$roots_cache/$suite.part" "$roots_cache/$suite"
    fi
    cp -a "$roots_cache/$suite" "$dir"
    mirror=$(sed -n 's/^deb \([^ ]*\) .*/\1/p' "$dir/etc/apt/sources.list" | head -1)
    root_sources "$suite" "$mirror" >"$dir/etc/apt/sources.list"
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
    local dir=$1 m
    for m in dev/pts dev proc; do
        ! mountpoint -q "$dir/$m" || umount "$dir/$m" || umount -l "$dir/$m"
    done
    safe_remove "$dir"
}

safe_remove() {
    [ -e "$1" ] || return 0
    local dir mounts
    dir=$(realpath "$1")
    # findmnt writes a blank in a path as \x20.
    mounts=$(findmnt -rn -o TARGET | D="${dir// /\\x20}/" awk 'index($0 "/", ENVIRON["D"]) == 1')
    if [ -n "$mounts" ]; then
        echo "not removing $dir, which still has mounts: $mounts" >&2
        return 1
    fi
    rm -rf --one-file-system "$dir"
}

debian_source() {
    local work status=0
    work=$(mktemp -d "${TMPDIR:-/tmp}/dayvane-sources.XXXXXX")
    root_make "$source_suite" "$work/root" || { safe_remove "$work"; return 1; }
    sed -n 's/^deb /deb-src /p' "$work/root/etc/apt/sources.list" >>"$work/root/etc/apt/sources.list"
    mkdir "$work/root/sources"
    root_run "$work/root" bash -c 'apt-get update -qq && chown _apt /sources && cd /sources &&
        apt-get source --download-only -qq "$@"' _ "$@" || status=$?
    [ $status -ne 0 ] || cp "$work/root/sources"/* .
    root_drop "$work/root"
    safe_remove "$work"
    return $status
}

source_record() {
    local dir=$1 package=${2%%=*} version=${2#*=}
    printf 'Source: %s\nVersion: %s\n' "$package" "$version"
    if [ -s "$dir/debian/patches/series" ]; then
        echo "Patches: debian/patches/series, all applied by dpkg-source"
        grep -v '^[[:space:]]*\(#\|$\)' "$dir/debian/patches/series" | sed 's/^[[:space:]]*/ /'
    else
        echo "Patches: none in the source package"
    fi
    local change
    for change in "${@:3}"; do echo "Changed: $change"; done
}
