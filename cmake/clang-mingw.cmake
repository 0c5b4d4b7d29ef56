# The Windows target built with Clang (`make lint`): Debian's clang with the mingw-w64 headers and
# libraries and the mingw GCC's C++ library, linked with lld (the mingw ld.bfd wants winpthreads
# before libgcc_eh, which clang's driver does not give it). clang-i686.cmake and
# clang-x86_64.cmake set INKWISP_MINGW_TRIPLE, CMAKE_SYSTEM_PROCESSOR and INKWISP_WINE_ARCH first.
set(CMAKE_SYSTEM_NAME Windows)
set(INKWISP_MINGW_SYSROOT /usr/${INKWISP_MINGW_TRIPLE})
set(INKWISP_MINGW_GCC /usr/lib/gcc/${INKWISP_MINGW_TRIPLE}/12-posix)
string(REPLACE "-mingw32" "-windows-gnu" INKWISP_CLANG_TARGET ${INKWISP_MINGW_TRIPLE})
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${INKWISP_CLANG_TARGET})
set(CMAKE_CXX_COMPILER_TARGET ${INKWISP_CLANG_TARGET})
set(CMAKE_RC_COMPILER ${INKWISP_MINGW_TRIPLE}-windres)
set(CMAKE_SYSROOT ${INKWISP_MINGW_SYSROOT})
# Clang 14 does not find Debian's layout of the mingw GCC's C++ headers by itself.
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${INKWISP_MINGW_GCC}/include/c++
    ${INKWISP_MINGW_GCC}/include/c++/${INKWISP_MINGW_TRIPLE} ${INKWISP_MINGW_GCC}/include/c++/backward)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -fuse-ld=lld -L${INKWISP_MINGW_GCC}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld -L${INKWISP_MINGW_GCC}")
set(CMAKE_CXX_STANDARD_LIBRARIES "-lpthread")
set(CMAKE_FIND_ROOT_PATH ${INKWISP_MINGW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR env INKWISP_ARCH=${INKWISP_WINE_ARCH}
    "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
