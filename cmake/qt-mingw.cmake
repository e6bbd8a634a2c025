# The cross builds' Qt: the Windows libraries built by scripts/build-qt-mingw.sh into KV_QT_MINGW,
# and the host Qt's tools (moc, rcc, uic) of the same version, which run here.
#
# The toolchain confines the package search to the mingw-w64 folders: the Qt folder joins them.
list(APPEND CMAKE_FIND_ROOT_PATH ${KV_QT_MINGW})
set(QT_HOST_PATH /usr CACHE PATH "the host Qt, whose tools the cross build runs")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "the host Qt's CMake packages")

# GCC 12 warns of an overlapping copy inside std::char_traits where Qt's inline string code is
# optimised (a false positive of -Wrestrict); for the code that includes Qt it stays a warning.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  set(KV_QT_COMPILE_OPTIONS -Wno-error=restrict)
endif()
