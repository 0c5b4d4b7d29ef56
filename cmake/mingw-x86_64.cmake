# The same program for 64-bit Windows: shipped beside the 32-bit one, and the build that the tests
# run under 64-bit Wine on machines whose kernel starts no 32-bit program.
set(INKWISP_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(INKWISP_WINE_ARCH x64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
