# Cross-compiles for 64-bit Windows with MinGW-w64. The programs are linked statically, so that
# they run (under Wine in CI) without the compiler's runtime libraries beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
# pkg-config describes the cross root's libraries only, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${CMAKE_FIND_ROOT_PATH}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
# zlib's static archive, as the programs are linked statically.
set(ZLIB_USE_STATIC_LIBS ON)

# The tests' programs run under Wine. `make check-windows` hands CMake the launcher it found; a
# configure by hand looks for one here, again on every configure while none has been found.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR AND NOT CMAKE_HOST_WIN32)
  find_program(DUNSTREL_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
  if(DUNSTREL_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${DUNSTREL_WINE}" CACHE FILEPATH
        "The program that runs the Windows programs built here" FORCE)
  endif()
endif()
