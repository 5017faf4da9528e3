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

# Every program carries a manifest (cmake/windows.manifest.in): without one Windows
# stretches the picture on a scaled monitor, reads narrow strings in the local code
# page and stops paths at 260 characters.
function(jq_embed_manifest target)
  set(JQ_MANIFEST_NAME Jellyquake.${target})
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_manifest.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/windows.manifest.in ${manifest} @ONLY)
  # Resource 1 of type 24 (RT_MANIFEST): the one a program's loader reads.
  file(CONFIGURE OUTPUT ${rc} CONTENT "1 24 \"${manifest}\"\n")
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${manifest})
  target_sources(${target} PRIVATE ${rc})
endfunction()
