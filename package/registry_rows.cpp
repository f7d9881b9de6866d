#include "package/registry_rows.h"

namespace {

constexpr const char* kModuleVariable = "MODULE";
// Stands for the module's path while the script is read; the installer's
// file reference replaces it once the rest of the text is escaped.
constexpr char kModuleMarker = '\x1f';

// The module's path wherever the script said %MODULE%, the rest as it stands.
std::string FormattedText(std::string_view text, std::string_view moduleReference) {
    std::string formatted;
    size_t start = 0;
    for (size_t marker = text.find(kModuleMarker); marker != std::string_view::npos;
         marker = text.find(kModuleMarker, start)) {
        formatted += FormattedLiteral(text.substr(start, marker - start));
        formatted += moduleReference;
        start = marker + 1;
    }
    formatted += FormattedLiteral(text.substr(start));
    return formatted;
}

std::string XmlAttribute(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&': escaped += "&amp;"; break;
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '"': escaped += "&quot;"; break;
            // An attribute's line breaks and tabs would read back as spaces.
            case '\t': escaped += "&#9;"; break;
            case '\n': escaped += "&#10;"; break;
            case '\r': escaped += "&#13;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

constexpr char kExpandableMark[] = "#%";

class RowBuilder {
public:
    RowBuilder(std::string root, std::string moduleReference, std::vector<PackageRegistryRow>& rows)
        : m_root(std::move(root)), m_moduleReference(std::move(moduleReference)), m_rows(rows) {}

    bool Key(const RegistryScriptKey& key, const std::string& parent, std::string& error) {
        const std::string path = parent.empty() ? key.name : parent + "\\" + key.name;
        if (!key.hasDefault && key.values.empty() && key.subkeys.empty()) {
            error = "key " + path + " has no value: the package would not create it";
            return false;
        }
        if (key.hasDefault && !Value(path, key.defaultValue, error)) return false;
        for (const RegistryScriptValue& value : key.values) {
            if (!Value(path, value, error)) return false;
        }
        for (const RegistryScriptKey& subkey : key.subkeys) {
            if (!Key(subkey, path, error)) return false;
        }
        return true;
    }

private:
    bool Value(const std::string& path, const RegistryScriptValue& value, std::string& error) {
        PackageRegistryRow row;
        row.root = m_root;
        row.key = FormattedText(path, m_moduleReference);
        row.name = FormattedText(value.name, m_moduleReference);
        if (value.type == REG_DWORD) {
            row.number = true;
            row.value = std::to_string(value.number);
        } else if (value.text.empty()) {
            error = "value " + (value.name.empty() ? std::string("(default)") : value.name) + " of " + path +
                    " is empty: the package would create the key without it";
            return false;
        } else {
            row.expandable = value.type == REG_EXPAND_SZ;
            row.value = FormattedText(value.text, m_moduleReference);
        }
        m_rows.push_back(std::move(row));
        return true;
    }

    std::string m_root;
    std::string m_moduleReference;
    std::vector<PackageRegistryRow>& m_rows;
};

bool RootName(HKEY hive, std::string& name) {
    if (hive == HKEY_CLASSES_ROOT) {
        name = "HKCR";
    } else if (hive == HKEY_LOCAL_MACHINE) {
        name = "HKLM";
    } else {
        return false;
    }
    return true;
}

}  // namespace

// Brackets open the installer's formatted-text references; [\x] is the
// character x itself. Braces without a reference inside stay as they are.
std::string FormattedLiteral(std::string_view text) {
    std::string formatted;
    for (const char c : text) {
        if (c == '[' || c == ']') {
            formatted += "[\\";
            formatted += c;
            formatted += ']';
        } else {
            formatted += c;
        }
    }
    return formatted;
}

bool BuildPackageRegistryRows(std::string_view script, std::string_view moduleFileId,
                              std::vector<PackageRegistryRow>& rows, std::string& error) {
    rows.clear();
    if (script.find(kModuleMarker) != std::string_view::npos) {
        error = "the script holds a control character (0x1F)";
        return false;
    }
    std::vector<RegistryScriptRoot> roots;
    const RegistryVariables variables = {{kModuleVariable, std::string(1, kModuleMarker)}};
    if (FAILED(ParseRegistryScript(script, variables, roots))) {
        error = "the script does not parse";
        return false;
    }
    const std::string moduleReference = "[#" + std::string(moduleFileId) + "]";
    for (const RegistryScriptRoot& root : roots) {
        std::string rootName;
        if (!RootName(root.hive, rootName)) {
            error = "a per-machine package writes no per-user keys (HKCU)";
            return false;
        }
        RowBuilder builder(rootName, moduleReference, rows);
        for (const RegistryScriptKey& key : root.keys) {
            if (!builder.Key(key, "", error)) return false;
        }
    }
    return true;
}

std::string RegistryRowsInclude(const std::vector<PackageRegistryRow>& rows) {
    std::string text =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<!-- Generated from module/ZelDMAgent.rgs.in and module/ZelDMAgent.idl at build time; edit those instead. -->\n"
        "<Include>\n";
    for (const PackageRegistryRow& row : rows) {
        text += "  <RegistryValue Root=\"" + row.root + "\" Key=\"" + XmlAttribute(row.key) + "\"";
        if (!row.name.empty()) text += " Name=\"" + XmlAttribute(row.name) + "\"";
        text += row.number ? " Type=\"integer\"" : " Type=\"string\"";
        // The Registry table marks an expandable string with a leading #%,
        // which wixl's own "expandable" type leaves out.
        text += " Value=\"" + XmlAttribute((row.expandable ? kExpandableMark : "") + row.value) + "\"/>\n";
    }
    text += "</Include>\n";
    return text;
}
