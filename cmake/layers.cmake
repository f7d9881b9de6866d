# How the build picks its sources and keeps the product's folders layered.
#
# Every source is listed by name, never found by a pattern: a list names the
# files both builds compile, then, after the word win32 or native, those of
# that build alone, which lie in a win32/ or native/ folder. ZEL_PLATFORM_DIR
# (win32 or native) says which build this is; the same name picks the build's
# own headers (platform/build_part.h).
#   zel_sources(<target> <file>... [win32 <file>...] [native <file>...])
function(zel_sources target)
  cmake_parse_arguments(PARSE_ARGV 1 list "" "" "win32;native")
  zel_check_build_folders("" ${list_UNPARSED_ARGUMENTS})
  foreach(build win32 native)
    zel_check_build_folders(${build} ${list_${build}})
  endforeach()
  target_sources(${target} PRIVATE ${list_UNPARSED_ARGUMENTS} ${list_${ZEL_PLATFORM_DIR}})
endfunction()

# A source of one build lies in that build's folder, one of both builds in
# neither: the folder says which build compiles a file, wherever it is read.
function(zel_check_build_folders build)  # win32, native or "", then the files
  foreach(file ${ARGN})
    if(NOT file MATCHES "\\.cpp$")
      continue()
    endif()
    # Only the folders inside the tree tell, not those above it.
    string(REPLACE "${CMAKE_BINARY_DIR}/" "" file "${file}")
    string(REPLACE "${CMAKE_SOURCE_DIR}/" "" file "${file}")
    string(REGEX MATCH "(^|/)(win32|native)/" found "${file}")
    string(REGEX REPLACE "(^|/)(win32|native)/" "\\2" found "${found}")
    if(NOT found STREQUAL build)
      if(build)
        message(FATAL_ERROR "${file}: listed for the ${build} build only, so it lies in a ${build}/ folder")
      else()
        message(FATAL_ERROR "${file}: a source of the ${found} build alone is listed after the word ${found}")
      endif()
    endif()
  endforeach()
endfunction()

# The product's folders depend on each other one way only:
#   module/ > agent/ > pdm/ > viewlist/ > interfaces/ > platform/
# (the stand-in viewer, viewer/, stands on interfaces/ and platform/ alone).
# Each folder is declared once, as a layer: its library (a static one, SHARED,
# or an interface library when it has no sources), the folders it may use
# and its sources, which lie inside it. The layer gets an include folder
# holding links to just its own folder and those, so a backward include does
# not compile; zel_check_layer refuses one already when CMake reads the tree.
# Other programs built from the folder join the layer with zel_in_layer.
#   zel_layer(<library> FOLDER <folder> [USES <folder>...] [SHARED]
#             [SOURCES <file>...] [win32 <file>...] [native <file>...])
function(zel_layer library)
  cmake_parse_arguments(PARSE_ARGV 1 layer "SHARED" "FOLDER" "USES;SOURCES;win32;native")
  set(folder ${layer_FOLDER})
  get_property(declared GLOBAL PROPERTY ZEL_LAYERS)
  if(folder IN_LIST declared)
    message(FATAL_ERROR "${folder}/ is declared as a layer twice")
  endif()
  set_property(GLOBAL APPEND PROPERTY ZEL_LAYERS ${folder})

  foreach(source ${layer_SOURCES} ${layer_win32} ${layer_native})
    get_filename_component(path ${source} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
    file(RELATIVE_PATH inside ${CMAKE_SOURCE_DIR}/${folder} ${path})
    if(inside MATCHES "^\\.\\./")
      message(FATAL_ERROR "${source}: a source of the layer ${folder}/ lies inside ${folder}/, where its includes are checked")
    endif()
  endforeach()

  set(kind INTERFACE)
  if(layer_SOURCES OR layer_${ZEL_PLATFORM_DIR})
    set(kind STATIC)
    if(layer_SHARED)
      set(kind SHARED)
    endif()
    add_library(${library} ${kind})
    zel_sources(${library} ${layer_SOURCES} win32 ${layer_win32} native ${layer_native})
    zel_target(${library})
  else()
    add_library(${library} INTERFACE)
  endif()

  set(dir ${CMAKE_BINARY_DIR}/layers/${folder})
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir})
  foreach(used ${folder} ${layer_USES})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${used} ${dir}/${used} SYMBOLIC)
  endforeach()
  set_property(GLOBAL PROPERTY ZEL_LAYER_INCLUDE_${folder} ${dir})
  if(NOT kind STREQUAL "INTERFACE")
    zel_in_layer(${library} ${folder})
  endif()
  zel_check_layer(${folder} ${folder} ${layer_USES})
endfunction()

# A program built from a layer's folder sees what the layer sees.
function(zel_in_layer target folder)
  get_property(dir GLOBAL PROPERTY ZEL_LAYER_INCLUDE_${folder})
  if(NOT dir)
    message(FATAL_ERROR "${target}: no layer ${folder}/ is declared (zel_layer) before it")
  endif()
  target_include_directories(${target} PRIVATE ${dir})
endfunction()

# Refuses an include of a folder the layer may not use, naming the file. It
# reads every header and source in the folder, listed or not; the build's
# own platform headers (ZEL_PLATFORM_HEADER) count as platform/.
function(zel_check_layer folder)  # folder, then the folders it may include
  set(allowed ${ARGN})
  file(GLOB_RECURSE files ${CMAKE_SOURCE_DIR}/${folder}/*.h ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "^#include (\"[a-z_]+/|ZEL_PLATFORM_HEADER)")
    foreach(line ${lines})
      if(line MATCHES "^#include ZEL_PLATFORM_HEADER")
        set(used platform)
      else()
        string(REGEX REPLACE "^#include \"([a-z_]+)/.*" "\\1" used "${line}")
      endif()
      if(NOT used IN_LIST allowed)
        file(RELATIVE_PATH shown ${CMAKE_SOURCE_DIR} ${file})
        string(REPLACE ";" "/, " allowed "${ARGN}")
        message(FATAL_ERROR "${shown}: ${line}\n${folder}/ may include ${allowed}/ only: "
          "the product's folders depend on each other one way (module > agent > pdm > viewlist > "
          "interfaces > platform).")
      endif()
    endforeach()
  endforeach()
endfunction()
