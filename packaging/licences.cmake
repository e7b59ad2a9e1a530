# The licence of each component the releases bundle, as an SPDX expression, read by a person
# from the component's notice (which the build copies into the release's licenses/). Keyed by
# Debian package: for Qt, the source package we build it from. The build stops on a bundled
# file whose component is missing here, so that a new library's licence is read before it ships.
set(licence_qt6-base "LGPL-3.0-only OR GPL-2.0-only OR GPL-3.0-only")
set(licence_qt6-wayland "LGPL-3.0-only OR GPL-2.0-only OR GPL-3.0-only")
# The MinGW-w64 runtime: GCC's libgcc and libstdc++, and winpthreads.
set(licence_gcc-mingw-w64-x86-64-posix-runtime "GPL-3.0-or-later WITH GCC-exception-3.1")
set(licence_mingw-w64-x86-64-dev "MIT AND BSD-3-Clause")
# The setup, and the uninstaller it installs.
set(licence_nsis-common "Zlib AND CPL-1.0")
set(licence_fonts-liberation2 "OFL-1.1")
# What the Linux release bundles of Debian 11's X11, XKB and Wayland libraries.
foreach(package libxcb-randr0 libxcb-render0 libxcb-shape0 libxcb-shm0 libxcb-sync1
        libxcb-xfixes0 libxcb-xinput0 libxcb-xkb1)
    set(licence_${package} "X11")
endforeach()
foreach(package libxcb-icccm4 libxcb-image0 libxcb-keysyms1 libxcb-render-util0 libxcb-util1)
    set(licence_${package} "MIT")
endforeach()
set(licence_libxkbcommon0 "MIT AND X11 AND HPND")
set(licence_libxkbcommon-x11-0 "MIT AND X11 AND HPND")
set(licence_libwayland-cursor0 "HPND-sell-variant")
