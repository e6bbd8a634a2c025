# 32-bit Windows programs with mingw-w64 (Plantdrv64). Running them needs 32-bit wine, which the
# suite's tests do not use: they run a 64-bit build of the same sources.
#   cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
set(KV_MINGW_TRIPLE i686-w64-mingw32)
set(KV_MINGW_PROCESSOR X86)
set(KV_WINE_NAMES wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
