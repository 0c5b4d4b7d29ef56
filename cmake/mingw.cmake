# The part of the mingw-w64 toolchains that both architectures share; mingw-i686.cmake and
# mingw-x86_64.cmake set INKWISP_MINGW_TRIPLE, CMAKE_SYSTEM_PROCESSOR and INKWISP_WINE_ARCH first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${INKWISP_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${INKWISP_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${INKWISP_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${INKWISP_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Test executables run under Wine with the build folder's own prefix, by the loader of their
# architecture (scripts/wine-env.sh).
set(CMAKE_CROSSCOMPILING_EMULATOR env INKWISP_ARCH=${INKWISP_WINE_ARCH}
    "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
