#include "platform/system/native/command_words.h"

#include "platform/text/ansi_code_page.h"

namespace {
constexpr char kQuote = '"';
constexpr char kBackslash = '\\';

bool IsWordSeparator(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::vector<std::string> SplitCommandWords(const std::string& command) {
    std::vector<std::string> words;
    bool quoted = false;
    // Between words, a word begins with the first character that is no
    // blank, a quote included: "" makes an empty word.
    bool inWord = false;
    for (size_t at = 0; at < command.size();) {
        if (!quoted && IsWordSeparator(command[at])) {
            inWord = false;
            ++at;
            continue;
        }
        if (!inWord) {
            words.emplace_back();
            inWord = true;
        }
        // The second byte of a double-byte character is no quote, backslash
        // or blank, whatever its value.
        if (CharacterLength(command, at) == 2) {
            words.back().append(command, at, 2);
            at += 2;
            continue;
        }
        const char c = command[at];
        if (c == kBackslash) {
            size_t run = 0;
            while (at + run < command.size() && command[at + run] == kBackslash) ++run;
            at += run;
            if (at < command.size() && command[at] == kQuote) {
                // Before a quote each pair stands for one backslash; an odd
                // one out makes the quote a character.
                words.back().append(run / 2, kBackslash);
                if (run % 2 == 1) {
                    words.back() += kQuote;
                    ++at;
                }
            } else {
                words.back().append(run, kBackslash);
            }
            continue;
        }
        if (c == kQuote) {
            // A doubled quote inside quotes is a quote character, and ends
            // the quoting as the runtime's parser does.
            if (quoted && at + 1 < command.size() && command[at + 1] == kQuote) {
                words.back() += kQuote;
                ++at;
            }
            quoted = !quoted;
            ++at;
            continue;
        }
        words.back() += c;
        ++at;
    }
    return words;
}
