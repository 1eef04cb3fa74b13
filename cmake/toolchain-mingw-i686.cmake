# Cross-compiles the 32-bit Windows programs with mingw-w64 (Debian g++-mingw-w64-i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TAMSEL_MINGW_PREFIX i686-w64-mingw32)
# The POSIX thread model: its C++ library has std::mutex and std::thread, which GoogleTest
# needs; winpthread is linked statically like the rest of the run-time.
set(CMAKE_C_COMPILER ${TAMSEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAMSEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAMSEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAMSEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Small, self-contained programs: optimised for size, unused code dropped at link time, the
# compiler's run-time linked in statically so that nothing beyond Windows' own DLLs is needed.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_C_FLAGS_MINSIZEREL_INIT "-Os -DNDEBUG")
set(CMAKE_CXX_FLAGS_MINSIZEREL_INIT "-Os -DNDEBUG")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
