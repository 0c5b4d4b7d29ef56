# The 64-bit Windows target built with Clang (`make lint`): Debian's clang with the mingw-w64
# headers and libraries and the mingw GCC's C++ library, linked with lld (the mingw ld.bfd wants
# winpthreads before libgcc_eh, which clang's driver does not give it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(INKWISP_MINGW_SYSROOT /usr/x86_64-w64-mingw32)
set(INKWISP_MINGW_GCC /usr/lib/gcc/x86_64-w64-mingw32/12-posix)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-windows-gnu)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-windows-gnu)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_SYSROOT ${INKWISP_MINGW_SYSROOT})
# Clang 14 does not find Debian's layout of the mingw GCC's C++ headers by itself.
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${INKWISP_MINGW_GCC}/include/c++
    ${INKWISP_MINGW_GCC}/include/c++/x86_64-w64-mingw32 ${INKWISP_MINGW_GCC}/include/c++/backward)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -fuse-ld=lld -L${INKWISP_MINGW_GCC}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-fuse-ld=lld -L${INKWISP_MINGW_GCC}")
set(CMAKE_CXX_STANDARD_LIBRARIES "-lpthread")
set(CMAKE_FIND_ROOT_PATH ${INKWISP_MINGW_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR env INKWISP_ARCH=x64 "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
