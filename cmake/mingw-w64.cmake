# Cross build for Windows x64 with MinGW-w64 (the POSIX-threads variant of
# Debian's g++-mingw-w64-x86-64-posix). Executables run under Wine.
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_AR ${_triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${_triple}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${_triple}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program links its C, C++ and thread runtimes statically, so it runs
# under Wine without MinGW DLLs on the search path.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests run through Wine (wine64 alone when the wrapper is not installed).
find_program(VARNHOLT_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VARNHOLT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VARNHOLT_WINE})
endif()

# There is no Windows build of the benchmark library here.
set(VARNHOLT_BENCH OFF CACHE BOOL "Build the benchmarks")
