# Cross-building Jellyquake for 64-bit Windows with Debian's MinGW-w64 compilers
# (bash scripts/build-windows.sh uses it). The posix-threads compilers, because
# the image prefetch runs on std::thread, which the win32-threads ones lack.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(JQ_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${JQ_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${JQ_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${JQ_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW tree only, never from the build
# machine's own; programs (the generators, bash) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${JQ_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own run-time (libgcc, libstdc++, winpthread) goes into each
# .exe, so a player needs nothing beyond the DLLs that come with Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
