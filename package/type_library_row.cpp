#include "package/type_library_row.h"

#include <cctype>
#include <charconv>
#include <vector>

namespace {

constexpr int kMaxVersionPart = 255;

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
// before the word "library", brackets inside strings skipped.
bool LibraryAttributes(std::string_view text, std::string_view& attributes) {
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
        const size_t after = next + kLibrary.size();
        if (text.substr(next, kLibrary.size()) == kLibrary && (after >= text.size() || !IsWordChar(text[after]))) {
            attributes = text.substr(open + 1, i - open - 1);
            return true;
        }
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

bool ParseVersion(std::string_view text, int& version) {
    const size_t dot = text.find('.');
    int major = 0;
    int minor = 0;
    if (!ParseNumber(text.substr(0, dot), major)) return false;
    if (dot != std::string_view::npos && !ParseNumber(text.substr(dot + 1), minor)) return false;
    if (major > kMaxVersionPart || minor > kMaxVersionPart) return false;
    version = (major << 8) | minor;
    return true;
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// A table file holds one row a line, its columns between tabs.
bool FitsTableFile(std::string_view text) { return text.find_first_of("\t\r\n") == std::string_view::npos; }

}  // namespace

bool ReadTypeLibraryRow(std::string_view idl, TypeLibraryRow& row, std::string& error) {
    row = TypeLibraryRow{};
    const std::string text = WithoutComments(idl);
    std::string_view attributes;
    if (!LibraryAttributes(text, attributes)) {
        error = "no library block with attributes";
        return false;
    }
    bool hasId = false;
    bool hasVersion = false;
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
            if (!ParseVersion(argument, row.version)) {
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
        }
    }
    if (!hasId || !hasVersion) {
        error = "the library block names no uuid or no version";
        return false;
    }
    if (!FitsTableFile(row.description)) {
        error = "the library's helpstring holds a tab or a line break";
        return false;
    }
    return true;
}

std::string TypeLibTableFile(const TypeLibraryRow& row, std::string_view component, std::string_view feature) {
    return "LibID\tLanguage\tComponent_\tVersion\tDescription\tDirectory_\tFeature_\tCost\r\n"
           "s38\ti2\ts72\tI4\tL128\tS72\ts38\tI4\r\n"
           "TypeLib\tLibID\tLanguage\tComponent_\r\n" +
           row.libraryId + "\t" + std::to_string(row.language) + "\t" + std::string(component) + "\t" +
           std::to_string(row.version) + "\t" + row.description + "\t\t" + std::string(feature) + "\t\r\n";
}
