# Fails when a source file includes from a folder its folder may not use, or when
# the allowed uses could loop. The uses are written once, in cmake/jq_folders.cmake.
#
# Usage: cmake -DSOURCE_DIR=<repository> -P folders_test.cmake
cmake_minimum_required(VERSION 3.25)
include(${SOURCE_DIR}/cmake/jq_folders.cmake)

set(faults "")

# Uses point only backwards in the list, so no chain of them comes back round.
set(earlier "")
foreach(folder ${jq_folders})
  foreach(used ${jq_uses_${folder}})
    if(NOT used IN_LIST earlier)
      list(APPEND faults "${folder} may use ${used}, which does not come before it")
    endif()
  endforeach()
  list(APPEND earlier ${folder})
endforeach()

# The folder an included path names: a tool's own folder, else the top folder.
function(named_folder path out)
  string(REGEX MATCH "^tools/[^/]+" tool "${path}")
  if(tool)
    set(${out} "${tool}" PARENT_SCOPE)
  else()
    string(REGEX MATCH "^[^/]+/" top "${path}")
    string(REGEX REPLACE "/$" "" top "${top}")
    set(${out} "${top}" PARENT_SCOPE)
  endif()
endfunction()

foreach(folder ${jq_folders} ${jq_tool_folders})
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
    ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.c)
  foreach(source ${sources})
    file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${lines})
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" path "${line}")
      named_folder("${path}" used)
      # A bare file name is the folder's own; so is the folder itself.
      if(used STREQUAL "" OR used STREQUAL folder OR used IN_LIST jq_uses_${folder})
        continue()
      endif()
      list(APPEND faults "${source} includes \"${path}\": ${folder} may not use ${used}")
    endforeach()
  endforeach()
endforeach()

if(faults)
  list(JOIN faults "\n  " text)
  message(FATAL_ERROR "Dependencies against the folder order:\n  ${text}")
endif()
message(STATUS "Every include follows the folder order")
