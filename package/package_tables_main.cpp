// Build-time tool of the installer package, compiled for the build machine:
// writes the package's registry rows (a wixl include) from the module's
// registry script and its TypeLib table (an .idt for msibuild) from the
// module's IDL.
//   zel-package-tables SCRIPT.rgs MODULE.idl FILE_ID COMPONENT FEATURE OUT.wxi OUT.idt
#include "package/registry_rows.h"
#include "package/type_library_row.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

enum Argument { kScript = 1, kIdl, kFileId, kComponent, kFeature, kWxi, kIdt, kArgumentCount };

bool ReadFile(const char* path, std::string& text) {
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
    if (argc != kArgumentCount)
        return Fail("usage: zel-package-tables SCRIPT.rgs MODULE.idl FILE_ID COMPONENT FEATURE OUT.wxi OUT.idt");
    std::string script;
    std::string idl;
    if (!ReadFile(argv[kScript], script)) return Fail(std::string("cannot read ") + argv[kScript]);
    if (!ReadFile(argv[kIdl], idl)) return Fail(std::string("cannot read ") + argv[kIdl]);

    std::string error;
    std::vector<PackageRegistryRow> rows;
    if (!BuildPackageRegistryRows(script, argv[kFileId], rows, error)) return Fail(std::string(argv[kScript]) + ": " + error);
    TypeLibraryRow library;
    if (!ReadTypeLibraryRow(idl, library, error)) return Fail(std::string(argv[kIdl]) + ": " + error);

    if (!WriteFile(argv[kWxi], RegistryRowsInclude(rows))) return Fail(std::string("cannot write ") + argv[kWxi]);
    if (!WriteFile(argv[kIdt], TypeLibTableFile(library, argv[kComponent], argv[kFeature])))
        return Fail(std::string("cannot write ") + argv[kIdt]);
    return 0;
}
