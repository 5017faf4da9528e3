# The browser build, with Debian's emscripten (bash scripts/build-web.sh). Its
# images and sounds are the ones the generators drew in the native build, the
# same bytes as on Linux; libpng and zlib are Debian's own sources, fetched by the
# script and built here with emcc.

# Every subsystem, and of the tools the simulator, which runs under node.
set(JQ_WEB_DIRS base game render audio view ui app tools packaging/web)

set(JQ_HOST_BUILD_DIR ${CMAKE_SOURCE_DIR}/build CACHE PATH
    "A native build of Jellyquake that holds the generated graphics/ and sounds/")
set(JQ_WEB_ZLIB_SOURCE "" CACHE PATH "zlib's unpacked Debian source")
set(JQ_WEB_PNG_SOURCE "" CACHE PATH "libpng's unpacked Debian source")

# Programs for node run as `node program.js`: emcmake's runner adds a flag that
# node needs no more.
set(CMAKE_CROSSCOMPILING_EMULATOR node)

# Debian's emcc runs its JavaScript helpers under the system's node at link time,
# which finds Debian's JavaScript modules (acorn) only with this.
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_C_LINKER_LAUNCHER})

# The game reports its one error by throwing; the browser has to catch it as the
# desktop does. WebAssembly's own exceptions cost nothing until one is thrown.
add_compile_options(-fwasm-exceptions)
add_link_options(-fwasm-exceptions)

foreach(source ZLIB PNG)
  if(NOT EXISTS "${JQ_WEB_${source}_SOURCE}")
    message(FATAL_ERROR "JQ_WEB_${source}_SOURCE is not set to an unpacked source: "
                        "bash scripts/build-web.sh fetches it")
  endif()
endforeach()

# zlib and libpng as static libraries, warnings their own business.
set(jq_zlib_files adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast
    inflate inftrees trees uncompr zutil)
list(TRANSFORM jq_zlib_files PREPEND ${JQ_WEB_ZLIB_SOURCE}/)
list(TRANSFORM jq_zlib_files APPEND .c)
add_library(web_zlib STATIC ${jq_zlib_files})
target_include_directories(web_zlib SYSTEM PUBLIC ${JQ_WEB_ZLIB_SOURCE})
target_compile_options(web_zlib PRIVATE -w -Wno-error)
target_compile_definitions(web_zlib PRIVATE HAVE_UNISTD_H)

set(jq_png_files png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil pngset
    pngtrans pngwio pngwrite pngwtran pngwutil)
list(TRANSFORM jq_png_files PREPEND ${JQ_WEB_PNG_SOURCE}/)
list(TRANSFORM jq_png_files APPEND .c)
set(jq_png_config ${CMAKE_BINARY_DIR}/libpng-config)
configure_file(${JQ_WEB_PNG_SOURCE}/scripts/pnglibconf.h.prebuilt
               ${jq_png_config}/pnglibconf.h COPYONLY)
add_library(web_png STATIC ${jq_png_files})
target_include_directories(web_png SYSTEM PUBLIC ${JQ_WEB_PNG_SOURCE} ${jq_png_config})
target_compile_options(web_png PRIVATE -w -Wno-error)
target_link_libraries(web_png PUBLIC web_zlib)
# The name the decoder links by on every platform that has libpng.
add_library(PNG::PNG ALIAS web_png)
