# The Windows build's tests that drive a whole program run it under Wine, from the
# build machine's shell scripts and X tools: the X helpers come from the native
# build beside it; the scripts start the game through the command in JQ_RUN_WITH,
# Wine's runner with its prefix, and minimise and restore its window with the
# program in JQ_SHOW_WINDOW.
foreach(tool close_window sound_levels)
  add_executable(${tool} IMPORTED GLOBAL)
  set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION ${JQ_HOST_BUILD_DIR}/${tool})
endforeach()

list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " jq_run_with)
function(jq_run_under_wine)
  set_tests_properties(${ARGN} PROPERTIES ENVIRONMENT
    "JQ_RUN_WITH=${jq_run_with};JQ_SHOW_WINDOW=$<TARGET_FILE:show_window>")
endfunction()
