#include "package/type_library_row.h"

#include <cctype>
#include <charconv>
#include <vector>

namespace {

// A library's version is two 16-bit numbers.
constexpr int kMaxVersionPart = 65535;
// A library read from a file reports that it has a disk image, and the
// registering routine writes the flags the library reports.
constexpr int kHasDiskImage = 8;
// The library flags that the IDL's library attributes set.
constexpr struct {
    std::string_view attribute;
    int flag;
} kLibraryFlags[] = {{"restricted", 1}, {"control", 2}, {"hidden", 4}};

// The IDL without its comments, strings kept as they are.
std::string WithoutComments(std::string_view idl) {
    std::string text;
    for (size_t i = 0; i < idl.size(); ++i) {
        if (idl[i] == '"') {
            const size_t end = idl.find('"', i + 1);
            const size_t stop = end == std::string_view::npos ? idl.size() : end + 1;
            text.append(idl.substr(i, stop - i));
            i = stop - 1;
        } else if (idl.substr(i, 2) == "//") {
            i = idl.find('\n', i);
            if (i == std::string_view::npos) break;
            text += '\n';
        } else if (idl.substr(i, 2) == "/*") {
            i = idl.find("*/", i + 2);
            if (i == std::string_view::npos) break;
            ++i;
            text += ' ';
        } else {
            text += idl[i];
        }
    }
    return text;
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The text between the brackets of the attribute block that stands right
// before the word "library", brackets inside strings skipped, and the
// library's name after that word.
bool LibraryAttributes(std::string_view text, std::string_view& attributes, std::string_view& name) {
    constexpr std::string_view kLibrary = "library";
    size_t open = 0;
    int depth = 0;
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '[' && depth++ == 0) open = i;
        if (c != ']' || depth == 0 || --depth != 0) continue;
        size_t next = i + 1;
        while (next < text.size() && std::isspace(static_cast<unsigned char>(text[next]))) ++next;
        size_t after = next + kLibrary.size();
        if (text.substr(next, kLibrary.size()) == kLibrary && (after >= text.size() || !IsWordChar(text[after]))) {
            attributes = text.substr(open + 1, i - open - 1);
            while (after < text.size() && std::isspace(static_cast<unsigned char>(text[after]))) ++after;
            size_t end = after;
            while (end < text.size() && IsWordChar(text[end])) ++end;
            name = text.substr(after, end - after);
            return true;
        }
    }
    return false;
}

// Whether the word stands in the text outside its strings.
bool HasWord(std::string_view text, std::string_view word) {
    bool quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (quoted || (i > 0 && IsWordChar(text[i - 1])) || text.substr(i, word.size()) != word) continue;
        const size_t after = i + word.size();
        if (after >= text.size() || !IsWordChar(text[after])) return true;
    }
    return false;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The attributes between the brackets, split at the commas that are outside
// parentheses and strings.
std::vector<std::string_view> SplitAttributes(std::string_view list) {
    std::vector<std::string_view> attributes;
    int depth = 0;
    bool quoted = false;
    size_t start = 0;
    for (size_t i = 0; i <= list.size(); ++i) {
        const char c = i < list.size() ? list[i] : ',';
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0) {
            attributes.push_back(Trim(list.substr(start, i - start)));
            start = i + 1;
        }
    }
    return attributes;
}

// The argument of name(argument), or false when the attribute is another one.
bool Argument(std::string_view attribute, std::string_view name, std::string_view& argument) {
    if (attribute.substr(0, name.size()) != name) return false;
    std::string_view rest = Trim(attribute.substr(name.size()));
    if (rest.size() < 2 || rest.front() != '(' || rest.back() != ')') return false;
    argument = Trim(rest.substr(1, rest.size() - 2));
    return true;
}

bool ParseNumber(std::string_view text, int& number) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number, base);
    return error == std::errc() && end == text.data() + text.size() && number >= 0;
}

bool ParseVersion(std::string_view text, int& major, int& minor) {
    const size_t dot = text.find('.');
    if (!ParseNumber(text.substr(0, dot), major)) return false;
    if (dot != std::string_view::npos && !ParseNumber(text.substr(dot + 1), minor)) return false;
    return major <= kMaxVersionPart && minor <= kMaxVersionPart;
}

std::string Hex(int number) {
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, number, 16);
    return std::string(digits, result.ptr);
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool HasControlCharacter(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20) return true;
    }
    return false;
}

}  // namespace

bool ReadTypeLibraryRow(std::string_view idl, TypeLibraryRow& row, std::string& error) {
    row = TypeLibraryRow{};
    const std::string text = WithoutComments(idl);
    std::string_view attributes;
    std::string_view name;
    if (!LibraryAttributes(text, attributes, name)) {
        error = "no library block with attributes";
        return false;
    }
    for (const std::string_view automation : {"dispinterface", "dual", "oleautomation"}) {
        if (HasWord(text, automation)) {
            error = "an automation interface (" + std::string(automation) +
                    "): the registering routine writes its Interface keys, which no row says";
            return false;
        }
    }
    bool hasId = false;
    bool hasVersion = false;
    bool hasHelp = false;
    row.flags = kHasDiskImage;
    for (const std::string_view attribute : SplitAttributes(attributes)) {
        std::string_view argument;
        if (Argument(attribute, "uuid", argument)) {
            // Built in place: GCC 12 at -O3 takes "{" + text + "}" for an
            // overlapping copy (its -Wrestrict false positive, GCC bug 105329).
            row.libraryId = '{';
            row.libraryId += Upper(argument);
            row.libraryId += '}';
            hasId = true;
        } else if (Argument(attribute, "version", argument)) {
            if (!ParseVersion(argument, row.major, row.minor)) {
                error = "the library's version is not major.minor";
                return false;
            }
            hasVersion = true;
        } else if (Argument(attribute, "lcid", argument)) {
            if (!ParseNumber(argument, row.language)) {
                error = "the library's lcid is not a number";
                return false;
            }
        } else if (Argument(attribute, "helpstring", argument)) {
            if (argument.size() < 2 || argument.front() != '"' || argument.back() != '"') {
                error = "the library's helpstring is not a string";
                return false;
            }
            row.description.assign(argument.substr(1, argument.size() - 2));
            hasHelp = true;
        }
        for (const auto& [flagAttribute, flag] : kLibraryFlags) {
            if (attribute == flagAttribute) row.flags |= flag;
        }
    }
    if (!hasId || !hasVersion) {
        error = "the library block names no uuid or no version";
        return false;
    }
    // An empty text would read as "create the key" to the installer.
    if (hasHelp && row.description.empty()) {
        error = "the library's helpstring is empty";
        return false;
    }
    if (!hasHelp) row.description.assign(name);
    if (row.description.empty()) {
        error = "the library has no name";
        return false;
    }
    if (HasControlCharacter(row.description)) {
        error = "the library's helpstring holds a control character";
        return false;
    }
    return true;
}

std::vector<PackageRegistryRow> TypeLibraryRegistryRows(const TypeLibraryRow& row, std::string_view moduleFileId,
                                                        std::string_view folderId) {
    const std::string key = "TypeLib\\" + row.libraryId + "\\" + Hex(row.major) + "." + Hex(row.minor);
    const auto text = [&](std::string path, std::string value) {
        return PackageRegistryRow{"HKCR", std::move(path), "", false, std::move(value)};
    };
    return {
        text(key, FormattedLiteral(row.description)),
        text(key + "\\" + Hex(row.language) + "\\win32", "[#" + std::string(moduleFileId) + "]"),
        text(key + "\\FLAGS", std::to_string(row.flags)),
        text(key + "\\HELPDIR", "[" + std::string(folderId) + "]"),
    };
}
