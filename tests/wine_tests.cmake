# The Windows build's tests that drive a whole program run it under Wine, from the
# build machine's shell scripts and X tools: the X helpers come from the native
# build beside it; the scripts start the game through the command in JQ_RUN_WITH,
# Wine's runner with its prefix, and minimise and restore its window with the
# program in JQ_SHOW_WINDOW.
foreach(tool close_window sound_levels)
  add_executable(${tool} IMPORTED GLOBAL)
  set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION ${JQ_HOST_BUILD_DIR}/${tool})
endforeach()

# They run in a Wine prefix of their own: Wine's desktop comes with the first
# program of a prefix's session, and one started with no X display (as the tests
# of programs without windows are) leaves no window to be opened after it. And one
# at a time: the programs of a prefix share one foreground and one focus, so a
# window shown by one test would take the keyboard from another's, even on another
# X server. Each test begins a session of its own (game_driver.sh), as a session's
# desktop keeps the screen size of the X server it began on.
list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 jq_wine_runner)
set(jq_wine_prefix ${CMAKE_BINARY_DIR}/wineprefix-windows)
set(jq_run_with "${jq_wine_runner} ${jq_wine_prefix}")
function(jq_run_under_wine)
  set_tests_properties(${ARGN} PROPERTIES RESOURCE_LOCK wine_desktop ENVIRONMENT
    "JQ_RUN_WITH=${jq_run_with};JQ_WINE_PREFIX=${jq_wine_prefix};JQ_SHOW_WINDOW=$<TARGET_FILE:show_window>")
endfunction()
