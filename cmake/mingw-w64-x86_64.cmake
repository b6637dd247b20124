# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64).
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RACER_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RACER_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${RACER_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${RACER_MINGW_PREFIX}-windres)

# Headers and libraries of the target only; programs (for the build) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${RACER_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained programs: the C and C++ runtimes linked in, so that they
# need no DLL beyond Windows' own.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
