# Writes a C++ source that returns the text of a file, so that a script kept
# as a file of its own can be compiled into the native module.
#   cmake -DINPUT=<file> -DOUTPUT=<cpp> -P embed_text.cmake
file(READ "${INPUT}" content)
string(FIND "${content}" ")zeltext\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the raw string delimiter")
endif()
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; edit that file instead.\n"
"#include \"module/registration.h\"\n\n"
"HRESULT LoadAgentRegistryScript(ModuleHandle, std::string& script) {\n"
"    script = R\"zeltext(${content})zeltext\";\n"
"    return S_OK;\n"
"}\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
