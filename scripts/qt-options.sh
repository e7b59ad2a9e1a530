# Sourced: how the two Qts are configured (scripts/make-qt-linux, scripts/make-qt-mingw), said
# once so that the recipes and the release test read the same options.
#   qt_options KIND        qtbase's configure options for KIND (linux, mingw), one a line
#   qt_change_widgets DIR  makes our change to the qtbase source in DIR ($qt_widgets_change)
#   qt_configured KIND     the line a Qt folder's debian-source record carries for the options
#                          KIND's recipe (linux, mingw) configures with today
#
# Both Qts are built for DAYVANE alone: for size, without the parts nothing here reaches, and
# the Linux one with link-time optimisation. A cold start reads every file it maps, so each
# feature left out is bytes not read at logon, not downloaded and not to be kept patched.
# Unused sections are dropped by Qt's build for static libraries only: in a shared one every
# exported symbol is used.
qt_size_options=(-DCMAKE_BUILD_TYPE=Release -DFEATURE_optimize_size=ON)
# Link-time optimisation (Qt's own feature follows CMake's switch for it): with MinGW-w64's
# linker Qt's DLLs came out at 140 KB, without the code of their objects, so not for Windows.
qt_lto_option=-DCMAKE_INTERPROCEDURAL_OPTIMIZATION_RELEASE=ON

# Off in both Qts (but for what Windows keeps, below). What stays, and why:
# - QPlainTextEdit (textedit) brings the text document, scroll area and scroll bars: the task
#   list is one.
# - QMessageBox brings dialogs, the button box and check box; the context menus of the fields
#   bring QMenu and QAction.
# - Style sheets (cssparser, style_stylesheet, and style_windows under them) colour the fields
#   and buttons; the HTML parser stays for rich text a label or tooltip may be given.
# - Animation drives the styles' fades; gestures, the time zones, settings (qt.conf),
#   CBOR (plugin metadata), process, temporary files and directory iteration are used by Qt
#   itself or by the tests.
qt_features_off=(
    # Core: what neither DAYVANE nor Qt's kept parts reach; the MIME database goes with MIME
    # types. Regular expressions (PCRE2) would go too, but Qt 6.4's build insists on PCRE2
    # whatever the feature says.
    mimetype sharedmemory systemsemaphore
    jalalicalendar hijricalendar islamiccivilcalendar sortfilterproxymodel
    identityproxymodel transposeproxymodel concatenatetablesproxymodel stringlistmodel
    # Gui: the document formats, images and models no widget here uses.
    textodfwriter textmarkdownreader textmarkdownwriter pdf movie picture systemtrayicon
    tuiotouch undocommand undostack undogroup filesystemmodel standarditemmodel
    imageformat_ppm imageformat_xbm
    # Widgets: all but labels, line edits, the plain text box, push buttons, menus and the
    # message box.
    itemviews listview treeview tableview columnview listwidget treewidget tablewidget
    datawidgetmapper undoview completer fscompleter combobox fontcombobox commandlinkbutton
    datetimeedit calendarwidget spinbox dial lcdnumber progressbar radiobutton
    groupbox tabbar tabwidget toolbox stackedwidget splitter formlayout textbrowser
    syntaxhighlighter splashscreen mainwindow menubar toolbar statusbar statustip dockwidget
    mdiarea resizehandler sizegrip rubberband scroller graphicsview graphicseffect
    keysequenceedit colordialog filedialog fontdialog progressdialog inputdialog errormessage
    wizard)
# Linux keeps QXmlStreamReader, with which Qt's D-Bus reads introspection for the screen
# readers and input methods, and the command-line parser of the tools it builds (moc, rcc).
#
# Windows keeps what Qt 6.4's Windows Vista style, the platform's own look, is compiled
# against whatever the features say: item, list and tree views, combo boxes (with the standard
# item model under them), spin boxes, tabs, stacked widgets, radio buttons, group boxes and the
# input dialog. Table views and tool bars, which it uses in three places only, stay off:
# qt_change_vista_style guards those.
qt_windows_style_features=(itemviews listview treeview combobox standarditemmodel spinbox
    stackedwidget tabbar tabwidget radiobutton groupbox inputdialog)

# What both Qts are configured with, besides the above: no OpenGL, SQL, network,
# printing or XML, and Qt's own copies of the libraries it can bundle.
qt_common_options=(-DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=ON
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
    -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_system_doubleconversion=OFF)
# And each on its own: on Linux a static Qt, linked into the program, with D-Bus (libdbus
# loaded when present), xcb, fontconfig and the system's FreeType, and none of the embedded
# platforms. Linked in, Qt brings only the code the program reaches, with no tables for
# dynamic linking: a cold start reads 15 MB, not 18.5 (bench/cold_start.sh). Qt 6.4 asks for
# CMake 3.21 to build or use a static Qt; Debian 11, where it is built, has 3.18, with which
# Qt and the program build and the release passes its tests, so the check is lowered by Qt's
# own switch (scripts/release does the same).
qt_linux_options=(-DBUILD_SHARED_LIBS=OFF "$qt_lto_option"
    -DQT_FORCE_MIN_CMAKE_VERSION_FOR_BUILDING_QT=3.18 -DINPUT_opengl=no -DFEATURE_egl=OFF
    -DFEATURE_dbus=ON -DFEATURE_dbus_linked=OFF -DFEATURE_glib=OFF -DFEATURE_xcb=ON
    -DFEATURE_xlib=ON -DFEATURE_fontconfig=ON -DFEATURE_system_freetype=ON
    -DFEATURE_libudev=OFF -DFEATURE_evdev=OFF -DFEATURE_libinput=OFF -DFEATURE_tslib=OFF
    -DFEATURE_mtdev=OFF -DFEATURE_linuxfb=OFF -DFEATURE_eglfs=OFF -DFEATURE_vnc=OFF
    -DFEATURE_sessionmanager=OFF)
qt_wayland_options=(-DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DFEATURE_wayland_server=OFF)
# Debian's source lacks the tablet (wintab) header, so tablet events are off.
qt_mingw_options=(-DBUILD_SHARED_LIBS=ON -DQT_QMAKE_TARGET_MKSPEC=win32-g++
    -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF
    -DFEATURE_dbus=OFF -DFEATURE_fontconfig=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_pkg_config=OFF -DFEATURE_tabletevent=OFF)

# Qt 6.4's widgets build only with tool bars, menu bars and item views: it compiles the
# compatibility code of the first two whatever the features say, its styles find QHash only
# through the item views' headers and its buttons the application's private header only
# through the button groups'. Our change to both Qts' qtbase, in the source folder DIR, said
# in the record.
qt_widgets_change="src/widgets/compat/removed_api.cpp, styles/qcommonstyle_p.h and \
widgets/qabstractbutton.cpp, so that Qt Widgets builds without tool bars, menu bars, item \
views and button groups"
qt_change_widgets() {
    sed -i -e 's/^#include "qtoolbar.h"$/#if QT_CONFIG(toolbar)\n&/' \
        -e 's/^#include "qmenubar.h"$/#endif\n#if QT_CONFIG(menubar)\n&/' \
        -e 's|^// #include <qotherheader.h>$|#endif\n\n&|' "$1/src/widgets/compat/removed_api.cpp"
    sed -i 's/^#include "qstyleoption.h"$/&\n#include <QtCore\/qhash.h>/' \
        "$1/src/widgets/styles/qcommonstyle_p.h"
    sed -i 's/^#include <qpa\/qplatformtheme.h>$/&\n#include <QtGui\/private\/qguiapplication_p.h>/' \
        "$1/src/widgets/widgets/qabstractbutton.cpp"
}

# The Windows Qt's other change: the Vista style's table-view and tool-bar code guarded by
# their features, as the rest of its code is.
qt_vista_style_change="src/plugins/styles/windowsvista/qwindowsvistastyle.cpp, so that the \
Windows Vista style builds without table views and tool bars"
qt_change_vista_style() {
    sed -i -e '/^ *newStyle = !qobject_cast<const QTableView\*>(view);$/{' \
        -e 's/^/#if QT_CONFIG(tableview)\n/' \
        -e 's/$/\n#endif/}' \
        -e '/^ *if (qobject_cast<const QTableView\*>(widget))$/{s/^/#if QT_CONFIG(tableview)\n/;n' \
        -e 's/$/\n#endif/}' \
        -e '/^    case CE_ToolBar:$/,/^#if QT_CONFIG(dockwidget)$/{' \
        -e 's/^    case CE_ToolBar:$/#if QT_CONFIG(toolbar)\n&/' \
        -e 's/^#if QT_CONFIG(dockwidget)$/#endif\n&/}' \
        "$1/src/plugins/styles/windowsvista/qwindowsvistastyle.cpp"
}

# qt_options KIND: qtbase's configure options for KIND (linux, mingw), one a line.
qt_options() {
    local -n own=qt_${1}_options
    local feature off=()
    for feature in "${qt_features_off[@]}"; do
        [ "$1" = mingw ] && [[ " ${qt_windows_style_features[*]} " == *" $feature "* ]] ||
            off+=("$feature")
    done
    printf '%s\n' "${qt_size_options[@]}" "${qt_common_options[@]}" "${own[@]}"
    printf -- '-DFEATURE_%s=OFF\n' "${off[@]}"
}

# The record's line for the options KIND's Qt is configured with today: a ready copy whose
# record says otherwise was made by an older recipe. Their order does not count.
qt_configured() {
    local hash
    hash=$({
        qt_options "$1"
        [ "$1" != linux ] || printf '%s\n' "${qt_wayland_options[@]}" | sed 's/^/qtwayland /'
    } | LC_ALL=C sort | sha256sum | cut -c1-16)
    echo "Configured: scripts/make-qt-$1, options $hash"
}
