# Cross-compiling the Windows x64 build on Debian with MinGW-w64 GCC (posix threads, for
# std::thread and friends). The libraries it links come from the prefix that
# scripts/win64-deps.sh fills (TRALVONIC_WIN64_DEPS); only the Boost headers come from the
# build machine, through a folder that holds nothing else, so no Linux header of
# /usr/include can slip into the Windows build.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TRALVONIC_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TRALVONIC_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TRALVONIC_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${TRALVONIC_MINGW}-windres)
set(CMAKE_OBJDUMP ${TRALVONIC_MINGW}-objdump)
set(CMAKE_STRIP ${TRALVONIC_MINGW}-strip)

# try_compile projects read this file again: hand them the prefix too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TRALVONIC_WIN64_DEPS)
if(NOT TRALVONIC_WIN64_DEPS)
  message(FATAL_ERROR "TRALVONIC_WIN64_DEPS must name the prefix of the Windows libraries (scripts/win64-deps.sh)")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${TRALVONIC_MINGW} ${TRALVONIC_WIN64_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} ${TRALVONIC_WIN64_DEPS}/lib/pkgconfig)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Boost is header-only here: FindBoost reads the version from this folder alone.
set(Boost_NO_BOOST_CMAKE ON)
set(Boost_INCLUDE_DIR ${TRALVONIC_WIN64_DEPS}/boost-headers)

# Everything linked in: the DLLs and programs need no libstdc++, libgcc or winpthread DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")
# -O2, as the Linux build compiles (RelWithDebInfo), without the debug information that would
# only slow the links of the statically linked programs.
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O2 -DNDEBUG")
