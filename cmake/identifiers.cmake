# The agent's class, type library and interface identifiers are written once,
# in the type library source (module/ZelDMAgent.idl); the C++ code takes them
# from a header generated from it when CMake reads the tree:
# generated/identifiers/agent_identifiers.h, one macro an identifier, its
# parts in the order of a GUID's initializer. The registry script is made
# from module/ZelDMAgent.rgs.in the same way, with the identifiers' text.
set(idl ${CMAKE_SOURCE_DIR}/module/ZelDMAgent.idl)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${idl})
file(READ ${idl} idl_text)
string(REPEAT "[0-9A-Fa-f]" 4 hex4)
set(guid_pattern "(${hex4}${hex4}-${hex4}-${hex4}-${hex4}-${hex4}${hex4}${hex4})")
set(header "// Generated from module/ZelDMAgent.idl; edit that file instead.\n#pragma once\n\n")
# macro, then what the attributes with the uuid stand before in the file
foreach(entry "ZEL_IID_IDMAGENT;interface IDMAgent" "ZEL_LIBID_ZELDMAGENTLIB;library ZELDMAGENTLib"
    "ZEL_CLSID_DMAGENT;coclass DMAgent")
  list(GET entry 0 macro)
  list(GET entry 1 declaration)
  if(NOT idl_text MATCHES "uuid\\(${guid_pattern}\\)[^]]*\\][ \t\r\n]*${declaration}[ \t\r\n:{]")
    message(FATAL_ERROR "${idl}: no uuid(...) attribute found for ${declaration}")
  endif()
  # 8-4-4-4-12 digits: a long, two shorts, eight bytes.
  set(guid "${CMAKE_MATCH_1}")
  string(TOUPPER "${guid}" ${macro}_TEXT)
  string(SUBSTRING "${guid}" 0 8 long)
  string(SUBSTRING "${guid}" 9 4 short1)
  string(SUBSTRING "${guid}" 14 4 short2)
  string(REPLACE "-" "" bytes "${guid}")
  set(parts "0x${long}" "0x${short1}" "0x${short2}")
  foreach(at RANGE 16 30 2)
    string(SUBSTRING "${bytes}" ${at} 2 byte)
    list(APPEND parts "0x${byte}")
  endforeach()
  string(REPLACE ";" ", " parts "${parts}")
  string(APPEND header "#define ${macro} ${parts}\n")
endforeach()
set(ZEL_IDENTIFIERS_DIR ${CMAKE_BINARY_DIR}/generated/identifiers)
file(WRITE ${ZEL_IDENTIFIERS_DIR}/agent_identifiers.h.new "${header}")
# Rewritten only when it changes, so that a new CMake run rebuilds nothing.
configure_file(${ZEL_IDENTIFIERS_DIR}/agent_identifiers.h.new ${ZEL_IDENTIFIERS_DIR}/agent_identifiers.h COPYONLY)

# The DLL's resource, the native build's embedded copy, the package's registry
# rows and their tests all read this one script.
set(ZEL_AGENT_SCRIPT ${CMAKE_BINARY_DIR}/generated/module/ZelDMAgent.rgs)
set(script_template ${CMAKE_SOURCE_DIR}/module/ZelDMAgent.rgs.in)
# configure_file would write an unknown @name@ as nothing, registering an
# empty identifier.
file(READ ${script_template} script_text)
string(REGEX MATCHALL "@[A-Za-z0-9_]+@" script_names "${script_text}")
foreach(name ${script_names})
  string(REPLACE "@" "" name "${name}")
  if(NOT DEFINED ${name})
    message(FATAL_ERROR "${script_template}: @${name}@ is none of the identifiers taken from the IDL")
  endif()
endforeach()
configure_file(${script_template} ${ZEL_AGENT_SCRIPT} @ONLY)
