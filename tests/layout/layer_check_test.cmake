# The checks of cmake/layers.cmake on small trees of their own: a backward
# include is refused when CMake reads the tree, naming the file and the
# include, and a source listed for the wrong build is refused.
#   cmake -DWORK=<scratch folder> -P layer_check_test.cmake
# Each case runs in a CMake of its own (CASE set), since a refusal ends it;
# its lists are given with commas.
cmake_minimum_required(VERSION 3.20)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/layers.cmake)

if(DEFINED CASE)
  set(CMAKE_SOURCE_DIR ${WORK}/tree)
  string(REPLACE "," ";" ALLOWED "${ALLOWED}")
  string(REPLACE "," ";" FILES "${FILES}")
  if(CASE STREQUAL "layer")
    zel_check_layer(${FOLDER} ${ALLOWED})
  else()
    zel_check_build_folders("${BUILD}" ${FILES})
  endif()
  message("accepted")
  return()
endif()

file(REMOVE_RECURSE ${WORK})
function(put path text)
  file(WRITE ${WORK}/tree/${path} "${text}\n")
endfunction()
put(platform/com/com.h "#pragma once")
put(viewlist/entry_list.cpp "#include \"viewlist/entry_list.h\"\n#include \"platform/com/com.h\"\n#include <vector>")
put(viewlist/entry_list.h "#pragma once\n#include \"interfaces/guids.h\"")
put(interfaces/guids.h "#pragma once\n#include \"viewlist/entry_list.h\"")
put(pdm/launch_file.h "#pragma once\n#include ZEL_PLATFORM_HEADER(com, com_basics.h)")
put(agent/agent_base.h "#pragma once\n  #include \"module/module.h\"  // not at the line's start: not an include CMake reads")
put(viewer/host/session.h "#pragma once\n#include \"agent/dm_agent.h\"")

set(failures 0)
function(expect what)  # what (accepted or the refusal's text), then the case's -D settings
  execute_process(COMMAND ${CMAKE_COMMAND} -DWORK=${WORK} ${ARGN} -P ${CMAKE_CURRENT_LIST_FILE}
    OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE rc)
  string(REGEX REPLACE "[ \n]+" " " flat "${out}")
  string(FIND "${flat}" "${what}" at)
  set(ok TRUE)
  if(at EQUAL -1)
    set(ok FALSE)
  elseif(what STREQUAL "accepted" AND NOT rc EQUAL 0)
    set(ok FALSE)
  elseif(NOT what STREQUAL "accepted" AND rc EQUAL 0)
    set(ok FALSE)
  endif()
  if(NOT ok)
    message("FAILED: ${ARGN}\n  expected: ${what}\n  got (exit ${rc}): ${flat}")
    math(EXPR n "${failures} + 1")
    set(failures ${n} PARENT_SCOPE)
  endif()
endfunction()

# What a layer may use passes: its own folder, those below it, system headers.
expect(accepted -DCASE=layer -DFOLDER=viewlist -DALLOWED=viewlist,interfaces,platform)
# A backward include, in a header as in a source: the file and the include.
expect("viewer/host/session.h: #include \"agent/dm_agent.h\" viewer/ may include viewer/, interfaces/, platform/ only"
  -DCASE=layer -DFOLDER=viewer -DALLOWED=viewer,interfaces,platform)
expect("interfaces/guids.h: #include \"viewlist/entry_list.h\" interfaces/ may include interfaces/, platform/ only"
  -DCASE=layer -DFOLDER=interfaces -DALLOWED=interfaces,platform)
# The build's own platform header is an include of platform/.
expect(accepted -DCASE=layer -DFOLDER=pdm -DALLOWED=pdm,platform)
expect("pdm/launch_file.h: #include ZEL_PLATFORM_HEADER(com, com_basics.h) pdm/ may include pdm/ only"
  -DCASE=layer -DFOLDER=pdm -DALLOWED=pdm)
# The compiler reads only includes at a line's start, and so does the check.
expect(accepted -DCASE=layer -DFOLDER=agent -DALLOWED=agent)

# A source of one build lies in that build's folder; one of both in neither.
expect(accepted -DCASE=build -DBUILD=native -DFILES=native/paths.cpp,text/native/codepage.cpp,strings.rc)
expect(accepted -DCASE=build -DBUILD= -DFILES=paths.cpp,unit/strings_test.cpp)
expect("unit/win32/message_box_test.cpp: listed for the native build only, so it lies in a native/ folder"
  -DCASE=build -DBUILD=native -DFILES=unit/win32/message_box_test.cpp)
expect("host/native/agent_loader.cpp: a source of the native build alone is listed after the word native"
  -DCASE=build -DBUILD= -DFILES=main.cpp,host/native/agent_loader.cpp)

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} case(s) failed")
endif()
message("layer checks: every case as expected")
