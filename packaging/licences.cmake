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
