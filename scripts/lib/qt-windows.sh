# Where the Windows build finds Qt 6.4.2 for Windows x86_64: a cache outside
# the tree, filled by .ci/run from a prebuilt archive or by
# scripts/build-qt-windows from Debian's source. The folder is the Qt prefix
# itself (bin/, lib/cmake/Qt6/qt.toolchain.cmake, plugins/); the stamp file
# is written last, so a half-filled cache never counts.
QT_WINDOWS_VERSION=6.4.2
QT_WINDOWS="${TIVOLAN_QT_WINDOWS:-$HOME/.cache/tivolan/qt-$QT_WINDOWS_VERSION-windows}"
QT_WINDOWS_STAMP="$QT_WINDOWS/.tivolan-qt-complete"

qt_windows_ready() {
  [ -f "$QT_WINDOWS_STAMP" ] && [ -f "$QT_WINDOWS/lib/cmake/Qt6/qt.toolchain.cmake" ]
}
