# Every library and file the build needs comes from a Debian package. When one is
# missing, configuring stops and names the package to install (bash
# scripts/setup.sh installs them all).

function(jq_missing what debian)
  message(FATAL_ERROR "${what} not found: apt-get install ${debian} "
                      "(bash scripts/setup.sh installs every package the build needs)")
endfunction()

# jq_find_package(<package> <Debian package> [find_package arguments...])
# A macro, so the package's variables and targets reach the caller.
macro(jq_find_package name debian)
  find_package(${name} ${ARGN})
  if(NOT ${name}_FOUND)
    jq_missing(${name} "${debian}")
  endif()
endmacro()

# jq_require_target(<imported target> <Debian package>): for the parts of a package
# that find_package reports only as a target (GLU beside OpenGL).
function(jq_require_target target debian)
  if(NOT TARGET ${target})
    jq_missing(${target} "${debian}")
  endif()
endfunction()

# jq_pkg_check_modules(<prefix> <Debian package> <module>...): pkg-config modules
# as the imported target PkgConfig::<prefix>.
macro(jq_pkg_check_modules prefix debian)
  jq_find_package(PkgConfig pkg-config)
  pkg_check_modules(${prefix} IMPORTED_TARGET ${ARGN})
  if(NOT ${prefix}_FOUND)
    jq_missing("pkg-config module(s) ${ARGN}" "${debian}")
  endif()
endmacro()
