# 64-bit Windows programs with mingw-w64, run by 64-bit wine.
#   cmake -S . -B build-win64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(KV_MINGW_TRIPLE x86_64-w64-mingw32)
set(KV_MINGW_PROCESSOR AMD64)
set(KV_WINE_NAMES wine64 wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
