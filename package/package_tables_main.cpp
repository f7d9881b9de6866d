// Build-time tool of the installer package, compiled for the build machine:
// writes the package's registry rows (a wixl include) from the module's
// registry script and, for its type library, from the module's IDL.
//   zel-package-tables SCRIPT.rgs MODULE.idl -D ModuleFile=ID -D ModuleFolder=ID
//                      [-D NAME=VALUE]... OUT.wxi
// The -D names are those the package's wxs is built with; others are ignored.
#include "package/registry_rows.h"
#include "package/type_library_row.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: zel-package-tables SCRIPT.rgs MODULE.idl -D ModuleFile=ID -D ModuleFolder=ID OUT.wxi";

struct Arguments {
    std::vector<std::string> files;  // script, IDL, include out
    std::map<std::string, std::string> names;
};

bool ReadArguments(int argc, char** argv, Arguments& arguments) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument != "-D") {
            arguments.files.push_back(argument);
            continue;
        }
        if (++i == argc) return false;
        const std::string definition = argv[i];
        const size_t equals = definition.find('=');
        if (equals == std::string::npos) return false;
        arguments.names[definition.substr(0, equals)] = definition.substr(equals + 1);
    }
    return arguments.files.size() == 3 && arguments.names.count("ModuleFile") && arguments.names.count("ModuleFolder");
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream content;
    content << in.rdbuf();
    text = content.str();
    return true;
}

// Written beside the target and renamed, so that a failed run leaves no
// half-written file for the next build step to take.
bool WriteFile(const std::string& path, const std::string& text) {
    const std::string partial = path + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!(out << text)) return false;
    }
    return std::rename(partial.c_str(), path.c_str()) == 0;
}

int Fail(const std::string& what) {
    std::cerr << "zel-package-tables: " << what << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    if (!ReadArguments(argc, argv, arguments)) return Fail(kUsage);
    const std::string& scriptPath = arguments.files[0];
    const std::string& idlPath = arguments.files[1];
    const std::string& includePath = arguments.files[2];

    std::string script;
    std::string idl;
    if (!ReadFile(scriptPath, script)) return Fail("cannot read " + scriptPath);
    if (!ReadFile(idlPath, idl)) return Fail("cannot read " + idlPath);

    std::string error;
    const std::string& moduleFile = arguments.names["ModuleFile"];
    std::vector<PackageRegistryRow> rows;
    if (!BuildPackageRegistryRows(script, moduleFile, rows, error)) return Fail(scriptPath + ": " + error);
    TypeLibraryRow library;
    if (!ReadTypeLibraryRow(idl, library, error)) return Fail(idlPath + ": " + error);
    for (PackageRegistryRow& row : TypeLibraryRegistryRows(library, moduleFile, arguments.names["ModuleFolder"]))
        rows.push_back(std::move(row));

    if (!WriteFile(includePath, RegistryRowsInclude(rows))) return Fail("cannot write " + includePath);
    return 0;
}
