# Cross toolchain for Windows programs with MinGW-w64 (posix threads, static runtime).
# KESTREL_WIN_ARCH selects i686 (the shipping 32-bit build) or x86_64 (used to run
# the Windows tests where the machine cannot execute 32-bit code).
if(NOT KESTREL_WIN_ARCH)
  set(KESTREL_WIN_ARCH i686)
endif()
set(KESTREL_WIN_ARCH ${KESTREL_WIN_ARCH} CACHE STRING "i686 or x86_64")
set(_triple ${KESTREL_WIN_ARCH}-w64-mingw32)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KESTREL_WIN_ARCH})
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)

if(NOT KESTREL_DEPS_ROOT)
  if(DEFINED ENV{KESTREL_DEPS})
    set(KESTREL_DEPS_ROOT "$ENV{KESTREL_DEPS}/${KESTREL_WIN_ARCH}")
  else()
    set(KESTREL_DEPS_ROOT /opt/kestrel-deps/${KESTREL_WIN_ARCH})
  endif()
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${_triple} ${KESTREL_DEPS_ROOT})
list(APPEND CMAKE_PREFIX_PATH ${KESTREL_DEPS_ROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Flash numbers are IEEE doubles: compute them in SSE2 registers on i686 too, so
# the 32-bit programs give the same results as the x86-64 and native builds
# (x87 extended precision rounds differently). Windows calls back with a stack
# aligned to 4 bytes only, so functions realign where SSE spills need it.
if(KESTREL_WIN_ARCH STREQUAL "i686")
  set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
  set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
endif()

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
