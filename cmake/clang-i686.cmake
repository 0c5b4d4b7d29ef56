# The 32-bit Windows target built with Clang (`make lint`).
set(INKWISP_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(INKWISP_WINE_ARCH x86)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw.cmake)
