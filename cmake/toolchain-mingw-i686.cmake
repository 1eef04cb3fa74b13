# Cross-compiles the 32-bit Windows programs with mingw-w64 (Debian g++-mingw-w64-i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(TAMSEL_MINGW_PREFIX i686-w64-mingw32)
# The win32 thread model: the run-time locks with Windows' own critical sections and brings no
# winpthread library (some 27 KB in each program). Its C++ library has no std::mutex or
# std::thread; the programs need neither, and GoogleTest gets the one class it builds on them
# from tests/wine/GoogleTestNotification.h.
set(CMAKE_C_COMPILER ${TAMSEL_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TAMSEL_MINGW_PREFIX}-g++-win32)
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
# ld's default script keeps every function that has an unwind entry, nearly all C++ code,
# whatever --gc-sections says. Links go through this script, which lets the unused ones go (a
# sixth of each program).
set(CMAKE_C_LINKER_LAUNCHER "${CMAKE_CURRENT_LIST_DIR}/mingw-gc-link.sh")
set(CMAKE_CXX_LINKER_LAUNCHER "${CMAKE_CURRENT_LIST_DIR}/mingw-gc-link.sh")
