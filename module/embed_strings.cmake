# Writes the native build's string table from the resource script's
# STRINGTABLE, so that the texts are written once, in module/strings.rc: one
# C++ initializer line an entry, for platform/com/native/module_strings.cpp.
#   cmake -DINPUT=<strings.rc> -DOUTPUT=<inc> -P embed_strings.cmake
file(STRINGS "${INPUT}" lines)
set(entries "")
set(count 0)
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*(IDS_[A-Z0-9_]+)[ \t]+\"(.*)\"[ \t]*$")
    set(id "${CMAKE_MATCH_1}")
    set(text "${CMAKE_MATCH_2}")
    # The resource compiler's own escapes would read differently in C++.
    if(text MATCHES "[\"\\\\]")
      message(FATAL_ERROR "${INPUT}: ${id}: no double quote or backslash inside a text")
    endif()
    string(APPEND entries "    {${id}, \"${text}\"},\n")
    math(EXPR count "${count} + 1")
  elseif(line MATCHES "IDS_")
    message(FATAL_ERROR "${INPUT}: not read as one id and its text on one line: ${line}")
  endif()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "${INPUT}: no string table entries")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}; edit that file instead.\n${entries}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
