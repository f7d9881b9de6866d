#include "pdm/save_command.h"

#include "platform/text/ansi_code_page.h"
#include "platform/system/launch.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr char kItemSeparator[] = " ";
constexpr char kWordSeparators[] = " \t";
constexpr char kQuote = '"';
constexpr char kBackslash = '\\';

// What no quoting protects: the interpreter expands % (and ! where delayed
// expansion is on) inside quotes too, a double quote would end the quoting,
// and a line break ends the command. A tab is a blank like any other.
constexpr char kNeverPassed[] =
    "\"%!"
    "\x01\x02\x03\x04\x05\x06\x07\x08\x0A\x0B\x0C\x0D\x0E\x0F"
    "\x10\x11\x12\x13\x14\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F";
// The interpreter's instructions; DMAgent goes in unquoted, so there they
// are refused.
constexpr char kInstructions[] = "&|<>^";
// What splits an argument or is an instruction to the interpreter outside
// quotes.
constexpr char kNeedsQuotes[] = " \t&|<>^(),;=";

// Every character of the kNeverPassed set is below any second byte of a
// double-byte character, so it is looked for byte by byte: a lead byte that
// has no proper second byte cannot hide one. A text with such a lone lead
// byte is refused all the same, since the interpreter and the program would
// each end its character somewhere else.
bool CanPass(const std::string& item) {
    return item.find_first_of(kNeverPassed) == std::string::npos && IsWellFormedAnsi(item);
}

bool CanPassUnquoted(const std::string& item) {
    return CanPass(item) && FindFirstCharacterOf(item, kInstructions) == std::string::npos;
}

// Backslashes that end the item as characters of their own (not as the second
// byte of a double-byte character).
size_t TrailingBackslashes(const std::string& item) {
    size_t count = 0;
    for (size_t at = 0; at < item.size();) {
        const size_t length = CharacterLength(item, at);
        count = (length == 1 && item[at] == kBackslash) ? count + 1 : 0;
        at += length;
    }
    return count;
}

}  // namespace

std::string QuoteItem(const std::string& item) {
    // Bare, an empty item would leave only its blank, and the runtime would
    // move every later item up one place.
    if (item.empty()) return std::string(2, kQuote);
    if (FindFirstCharacterOf(item, kNeedsQuotes) == std::string::npos) return item;
    // Inside quotes a backslash is literal unless backslashes lead up to a
    // quote: there each pair stands for one, so the closing quote needs an
    // even run before it.
    return kQuote + item + std::string(TrailingBackslashes(item), kBackslash) + kQuote;
}

std::string TrimBlanks(const std::string& text) {
    const size_t begin = text.find_first_not_of(kWordSeparators);
    if (begin == std::string::npos) return {};
    return text.substr(begin, text.find_last_not_of(kWordSeparators) - begin + 1);
}

DMAgentParts SplitDMAgent(const std::string& dmAgent) {
    const std::string value = TrimBlanks(dmAgent);
    DMAgentParts parts;
    size_t programEnd = 0;
    if (!value.empty() && value.front() == kQuote) {
        // A blank or tab is never the second byte of a double-byte
        // character, nor is a quote: the bytes can be searched as they are.
        parts.quoted = true;
        const size_t close = value.find(kQuote, 1);
        if (close == std::string::npos) return {value.substr(1), {}, true, false};
        parts.program = value.substr(1, close - 1);
        programEnd = close + 1;
        if (programEnd < value.size() && std::string_view(kWordSeparators).find(value[programEnd]) == std::string::npos)
            parts.wellFormed = false;
    } else {
        programEnd = std::min(value.find_first_of(kWordSeparators), value.size());
        parts.program = value.substr(0, programEnd);
    }
    parts.words = TrimBlanks(value.substr(programEnd));
    return parts;
}

SaveCommand BuildSaveCommand(const SaveCommandItems& items) {
    const DMAgentParts dmAgent = SplitDMAgent(items.program);
    // Without a program start would run whatever is called MarkupSave in the
    // current folder or on the path.
    if (dmAgent.program.empty() && dmAgent.wellFormed) return {SaveCommandFault::kNoProgram, {}};
    // Inside its quotes the program's path may hold blanks and the
    // interpreter's instructions; its words stay unquoted.
    const bool programPasses = dmAgent.quoted ? dmAgent.wellFormed && CanPass(dmAgent.program) &&
                                                    CanPassUnquoted(dmAgent.words)
                                              : CanPassUnquoted(items.program);
    if (!programPasses || !CanPass(items.sessionId) || !CanPass(items.serverPath) || !CanPass(items.application))
        return {SaveCommandFault::kUnsafeLaunchValue, {}};
    if (!CanPass(items.markupFileName)) return {SaveCommandFault::kUnsafeFileName, {}};

    std::string line = items.program;
    line += kItemSeparator;
    line += kMarkupSaveWord;
    for (const std::string* item : {&items.sessionId, &items.serverPath, &items.markupFileName, &items.application}) {
        line += kItemSeparator;
        line += QuoteItem(*item);
    }
    const size_t limit = kMaxCommandLength - (dmAgent.quoted ? std::strlen(kEmptyWindowTitle) : 0);
    if (line.size() > limit) return {SaveCommandFault::kTooLong, {}};
    return {SaveCommandFault::kNone, line};
}

std::string CommandLineForLog(const SaveCommandItems& items, const std::string& line,
                              const std::string& maskedSessionId) {
    const size_t idStart = items.program.size() + std::strlen(kItemSeparator) + std::strlen(kMarkupSaveWord) +
                           std::strlen(kItemSeparator);
    const size_t idLength = QuoteItem(items.sessionId).size();
    // Nothing of a line of another shape is shown: it could hold the
    // identifier anywhere.
    if (line.size() < idStart + idLength) return {};
    return line.substr(0, idStart) + maskedSessionId + line.substr(idStart + idLength);
}
