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
# What the Linux release bundles of Debian 11's X11, XKB and Wayland libraries. The xcb-util
# family's text is MIT's with the X11 licence's clause on the authors' names, as xcb's own.
foreach(package libxcb-randr0 libxcb-render0 libxcb-shape0 libxcb-shm0 libxcb-sync1
        libxcb-xfixes0 libxcb-xinput0 libxcb-xkb1 libxcb-icccm4 libxcb-image0 libxcb-keysyms1
        libxcb-render-util0 libxcb-util1)
    set(licence_${package} "X11")
endforeach()
# libxkbcommon: The Open Group's X11 text, and SGI's and Digital's HPND ones.
set(licence_libxkbcommon0 "X11 AND HPND")
set(licence_libxkbcommon-x11-0 "X11 AND HPND")
set(licence_libwayland-cursor0 "HPND-sell-variant")

# The licence names of machine-readable (DEP-5) notices, as SPDX ids, by which the build holds
# each expression above against its notice: every id it gives must be one that the notice
# names for files of the component (not for Debian's packaging). dep5_<name> maps a name,
# dep5_<package>__<name> a name as one package uses it, the name made a C identifier.
set(dep5_X11 "X11")
set(dep5_MIT_X11 "X11")
set(dep5_MIT_X_Consortium_License "X11")
set(dep5_MIT "MIT")
set(dep5_Expat "MIT")
set(dep5_expat "MIT")
set(dep5_HPND "HPND")
set(dep5_BSD_3_clause "BSD-3-Clause")
set(dep5_Zlib "Zlib")
set(dep5_lzma_cpl_exception "CPL-1.0")
set(dep5_SIL_OFL_1_1 "OFL-1.1")
set(dep5_LGPL_3 "LGPL-3.0-only")
set(dep5_GPL_2 "GPL-2.0-only")
set(dep5_GPL_3 "GPL-3.0-only")
# Debian calls wayland's licence X11; its text ("Permission to use, copy, modify, distribute,
# and sell this software ... without express or implied warranty") is HPND-sell-variant.
set(dep5_libwayland-cursor0__X11 "HPND-sell-variant")
# xcb-util's "MIT" is the same text as its siblings' "MIT/X11".
set(dep5_libxcb-util1__MIT "X11")

# The code of others that Qt builds into its own libraries, by the Id its qt_attribution.json
# files give it, the library it is in, and what in this Qt's configuration brings it in: the
# features that must be on, or with "!" off ("windows" for the Windows build). The bill of
# materials lists each one the bundled Qt holds as a part of qt6-base; of qt6-wayland, the
# protocols its attribution says the Wayland platform plugin uses.
set(qt_builtin
    "zlib|Qt6Core|!system-zlib"
    "pcre2|Qt6Core|regularexpression !system-pcre2"
    "pcre2-sljit|Qt6Core|regularexpression !system-pcre2"
    "doubleconversion|Qt6Core|doubleconversion !system-doubleconversion"
    "blake2|Qt6Core|!system-libb2"
    "sha3_endian|Qt6Core|" "sha3_keccak|Qt6Core|" "rfc6234|Qt6Core|" "md4|Qt6Core|"
    "md5|Qt6Core|" "sha1|Qt6Core|" "siphash|Qt6Core|"
    "unicode-character-database|Qt6Core|" "unicode-cldr|Qt6Core|"
    "easing|Qt6Core|easingcurve"
    "forkfd|Qt6Core|process !windows"
    "tinycbor|Qt6Core|cborstreamwriter"
    "md4c|Qt6Gui|textmarkdownreader !system-textmarkdownreader"
    "harfbuzz-ng|Qt6Gui|harfbuzz !system-harfbuzz"
    "libpng|Qt6Gui|png !system-png"
    "freetype|Qt6Gui|freetype !system-freetype" "freetype-zlib|Qt6Gui|freetype !system-freetype"
    "freetype-bdf|Qt6Gui|freetype !system-freetype" "freetype-pcf|Qt6Gui|freetype !system-freetype"
    "grayraster|Qt6Gui|" "smooth-scaling-algorithm|Qt6Gui|" "xserverhelper|Qt6Gui|"
    "aglfn|Qt6Gui|pdf" "icc-sRGB-color-profile|Qt6Gui|pdf"
    "libdbus-1-headers|Qt6DBus|dbus"
    "xcb-xinput|Qt6XcbQpa|xcb !system-xcb-xinput"
    "libjpeg|qjpeg|jpeg !system-jpeg")
# What Qt puts into the program itself: on Windows its entry point, qtentrypoint_win.cpp
# ("LicenseRef-Qt-Commercial OR BSD-3-Clause"), which DAYVANE takes under BSD-3-Clause.
set(qt_builtin_own "Qt entry point (src/entrypoint)|BSD-3-Clause|DAYVANE.exe|windows")
