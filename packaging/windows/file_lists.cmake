# Writes two lists for the installer from the staged game folder: the NSIS lines
# that install every file in it (FILES), and the lines that remove exactly those
# files and folders again, deepest first (REMOVALS). The uninstaller then takes
# away what the installer brought and nothing else.
#
# cmake -DSTAGE=<folder> -DFILES=<file> -DREMOVALS=<file> -P file_lists.cmake
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${STAGE} ${STAGE}/*)
list(SORT entries)
set(folders "")
set(files "")
foreach(entry ${entries})
  if(IS_DIRECTORY ${STAGE}/${entry})
    list(APPEND folders ${entry})
  else()
    list(APPEND files ${entry})
  endif()
endforeach()

# Windows paths below $INSTDIR.
function(windows_path out entry)
  string(REPLACE "/" "\\" path "$INSTDIR/${entry}")
  set(${out} ${path} PARENT_SCOPE)
endfunction()

set(install "")
foreach(folder "." ${folders})
  if(folder STREQUAL ".")
    set(target "$INSTDIR")
  else()
    windows_path(target ${folder})
  endif()
  string(APPEND install "SetOutPath \"${target}\"\n")
  foreach(file ${files})
    get_filename_component(parent ${file} DIRECTORY)
    if((folder STREQUAL "." AND parent STREQUAL "") OR parent STREQUAL folder)
      string(APPEND install "File \"${STAGE}/${file}\"\n")
    endif()
  endforeach()
endforeach()

set(remove "")
foreach(file ${files})
  windows_path(target ${file})
  string(APPEND remove "Delete \"${target}\"\n")
endforeach()
list(REVERSE folders)
foreach(folder ${folders})
  windows_path(target ${folder})
  string(APPEND remove "RMDir \"${target}\"\n")
endforeach()

file(WRITE ${FILES} "${install}")
file(WRITE ${REMOVALS} "${remove}")
