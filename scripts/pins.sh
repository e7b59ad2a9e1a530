# Sourced: what the releases are built from and on, said once.
# The Qt both releases run on, from Debian 12's source packages with Debian's patches.
qt_version=6.4.2
qt_sources=(qt6-base=6.4.2+dfsg-10 qt6-wayland=6.4.2-1)
# The Debian 12 the sources are fetched in, and the Debian the Linux release is built in: the
# oldest it runs on, whose glibc and C++ library are the most the release may ask for.
source_suite=bookworm
build_suite=bullseye
# Where Qt for the Linux release lies in a build root.
root_qt=/opt/qt6-linux
