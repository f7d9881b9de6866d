#include "module/registrar_parser.h"

#include "platform/com/result.h"
#include "platform/text/ascii_fold.h"

#include <cctype>
#include <charconv>

namespace {

constexpr size_t kMaxNesting = 32;
constexpr size_t kMaxKeyNameLength = 255;

struct Token {
    std::string text;
    bool quoted = false;
};

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiFold(static_cast<unsigned char>(a[i])) != AsciiFold(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

HRESULT Tokenize(std::string_view script, std::vector<Token>& tokens) {
    size_t i = 0;
    while (i < script.size()) {
        if (IsSpace(script[i])) {
            ++i;
            continue;
        }
        Token token;
        if (script[i] == '\'') {
            token.quoted = true;
            for (++i;; ++i) {
                RETURN_HR_IF(E_INVALIDARG, i >= script.size());
                if (script[i] != '\'') {
                    token.text += script[i];
                } else if (i + 1 < script.size() && script[i + 1] == '\'') {
                    token.text += '\'';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        } else {
            const size_t start = i;
            while (i < script.size() && !IsSpace(script[i])) ++i;
            token.text.assign(script.substr(start, i - start));
        }
        tokens.push_back(std::move(token));
    }
    return S_OK;
}

HRESULT ExpandVariables(const std::string& text, const RegistryVariables& variables, std::string& expanded) {
    expanded.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            expanded += text[i];
            continue;
        }
        const size_t end = text.find('%', i + 1);
        RETURN_HR_IF(E_INVALIDARG, end == std::string::npos);
        const std::string_view name(text.data() + i + 1, end - i - 1);
        if (name.empty()) {
            expanded += '%';
        } else {
            const RegistryVariable* found = nullptr;
            for (const RegistryVariable& variable : variables) {
                if (EqualsIgnoreCase(variable.name, name)) found = &variable;
            }
            RETURN_HR_IF(E_INVALIDARG, found == nullptr);
            expanded += found->value;
        }
        i = end;
    }
    return S_OK;
}

HRESULT ParseNumber(const std::string& text, DWORD& number) {
    std::string_view digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    RETURN_HR_IF(E_INVALIDARG, digits.empty() || !std::isxdigit(static_cast<unsigned char>(digits[0])));
    uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    RETURN_HR_IF(E_INVALIDARG, error != std::errc() || end != digits.data() + digits.size());
    number = value;
    return S_OK;
}

bool HiveFromName(std::string_view name, HKEY& hive) {
    if (EqualsIgnoreCase(name, "HKCR") || EqualsIgnoreCase(name, "HKEY_CLASSES_ROOT")) {
        hive = HKEY_CLASSES_ROOT;
    } else if (EqualsIgnoreCase(name, "HKCU") || EqualsIgnoreCase(name, "HKEY_CURRENT_USER")) {
        hive = HKEY_CURRENT_USER;
    } else if (EqualsIgnoreCase(name, "HKLM") || EqualsIgnoreCase(name, "HKEY_LOCAL_MACHINE")) {
        hive = HKEY_LOCAL_MACHINE;
    } else {
        return false;
    }
    return true;
}

class Parser {
public:
    Parser(std::vector<Token> tokens, const RegistryVariables& variables)
        : m_tokens(std::move(tokens)), m_variables(variables) {}

    HRESULT Script(std::vector<RegistryScriptRoot>& roots) {
        while (!AtEnd()) {
            RegistryScriptRoot root;
            const Token& name = Next();
            RETURN_HR_IF(E_INVALIDARG, name.quoted || !HiveFromName(name.text, root.hive));
            RETURN_IF_FAILED(Expect("{"));
            RETURN_IF_FAILED(Items(root.keys, nullptr, 1));
            roots.push_back(std::move(root));
        }
        return S_OK;
    }

private:
    bool AtEnd() const { return m_pos >= m_tokens.size(); }
    const Token& Next() { return m_tokens[m_pos++]; }
    bool PeekIs(std::string_view punctuation) const {
        return !AtEnd() && !m_tokens[m_pos].quoted && m_tokens[m_pos].text == punctuation;
    }
    static bool IsPunctuation(const Token& token) {
        return !token.quoted && (token.text == "{" || token.text == "}" || token.text == "=");
    }
    static bool IsKeyword(const Token& token, std::string_view keyword) {
        return !token.quoted && EqualsIgnoreCase(token.text, keyword);
    }

    HRESULT Expect(std::string_view punctuation) {
        RETURN_HR_IF(E_INVALIDARG, !PeekIs(punctuation));
        ++m_pos;
        return S_OK;
    }

    HRESULT Name(std::string& name) {
        RETURN_HR_IF(E_INVALIDARG, AtEnd() || IsPunctuation(m_tokens[m_pos]));
        return ExpandVariables(Next().text, m_variables, name);
    }

    // Reads the items of a block up to its closing brace. Named values go to
    // the key that owns the block; a root block has no key and takes none.
    HRESULT Items(std::vector<RegistryScriptKey>& subkeys, RegistryScriptKey* owner, size_t depth) {
        RETURN_HR_IF(E_INVALIDARG, depth > kMaxNesting);
        for (;;) {
            RETURN_HR_IF(E_INVALIDARG, AtEnd());
            if (PeekIs("}")) {
                ++m_pos;
                return S_OK;
            }
            if (IsKeyword(m_tokens[m_pos], "val")) {
                ++m_pos;
                RETURN_HR_IF(E_INVALIDARG, owner == nullptr);
                RegistryScriptValue value;
                RETURN_IF_FAILED(Name(value.name));
                RETURN_HR_IF(E_INVALIDARG, value.name.empty());
                RETURN_IF_FAILED(Expect("="));
                RETURN_IF_FAILED(Value(value));
                owner->values.push_back(std::move(value));
                continue;
            }
            RegistryScriptKey key;
            RETURN_IF_FAILED(Key(key, depth));
            subkeys.push_back(std::move(key));
        }
    }

    HRESULT Key(RegistryScriptKey& key, size_t depth) {
        for (;;) {
            RETURN_HR_IF(E_INVALIDARG, AtEnd());
            if (IsKeyword(m_tokens[m_pos], "ForceRemove")) {
                key.forceRemove = true;
            } else if (IsKeyword(m_tokens[m_pos], "NoRemove")) {
                key.noRemove = true;
            } else {
                break;
            }
            ++m_pos;
        }
        RETURN_HR_IF(E_INVALIDARG, IsKeyword(m_tokens[m_pos], "Delete"));
        RETURN_IF_FAILED(Name(key.name));
        RETURN_HR_IF(E_INVALIDARG, key.name.empty() || key.name.size() > kMaxKeyNameLength);
        if (PeekIs("=")) {
            ++m_pos;
            RETURN_IF_FAILED(Value(key.defaultValue));
            key.hasDefault = true;
        }
        if (PeekIs("{")) {
            ++m_pos;
            RETURN_IF_FAILED(Items(key.subkeys, &key, depth + 1));
        }
        return S_OK;
    }

    HRESULT Value(RegistryScriptValue& value) {
        RETURN_HR_IF(E_INVALIDARG, AtEnd());
        const Token& type = Next();
        std::string text;
        if (IsKeyword(type, "s") || IsKeyword(type, "e")) {
            RETURN_IF_FAILED(Name(value.text));
            value.type = IsKeyword(type, "e") ? REG_EXPAND_SZ : REG_SZ;
            return S_OK;
        }
        RETURN_HR_IF(E_INVALIDARG, !IsKeyword(type, "d"));
        RETURN_IF_FAILED(Name(text));
        value.type = REG_DWORD;
        return ParseNumber(text, value.number);
    }

    std::vector<Token> m_tokens;
    const RegistryVariables& m_variables;
    size_t m_pos = 0;
};

}  // namespace

HRESULT ParseRegistryScript(std::string_view script, const RegistryVariables& variables,
                            std::vector<RegistryScriptRoot>& roots) {
    roots.clear();
    std::vector<Token> tokens;
    RETURN_IF_FAILED(Tokenize(script, tokens));
    std::vector<RegistryScriptRoot> parsed;
    RETURN_IF_FAILED(Parser(std::move(tokens), variables).Script(parsed));
    roots = std::move(parsed);
    return S_OK;
}
