# The Windows build, cross-compiled with MinGW-w64 (cmake/toolchain-mingw-w64.cmake,
# bash scripts/build-windows.sh). Its tests run under Wine, and its images and
# sounds are the ones the generators of a native build drew: the same bytes as on
# Linux, made by the same programs.

# The folders that build for Windows: every subsystem (the shell and the sound
# sink with platform files of their own) and, of the tools, the simulator.
set(JQ_WINDOWS_DIRS base game render audio view ui app tools)

# Every Windows program that CTest starts runs under Wine, in a prefix kept inside
# this build folder.
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh
      ${CMAKE_BINARY_DIR}/wineprefix)
endif()

# The game's icon, packed from the generated PNGs for the program (app/) and its
# installer (packaging/windows/).
set(JQ_ICON_FILE ${CMAKE_BINARY_DIR}/jellyquake.ico)

# The native build whose generators made graphics/ and sounds/.
set(JQ_HOST_BUILD_DIR ${CMAKE_SOURCE_DIR}/build CACHE PATH
    "A native build of Jellyquake that holds the generated graphics/ and sounds/")
