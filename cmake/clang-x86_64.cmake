# The 64-bit Windows target built with Clang (`make lint`).
set(INKWISP_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(INKWISP_WINE_ARCH x64)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw.cmake)
