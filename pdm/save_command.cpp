#include "pdm/save_command.h"

#include "platform/ansi_code_page.h"

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

std::string SaveProgram(const std::string& dmAgent) {
    const size_t begin = dmAgent.find_first_not_of(kWordSeparators);
    if (begin == std::string::npos) return {};
    const size_t end = dmAgent.find_first_of(kWordSeparators, begin);
    return dmAgent.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

SaveCommand BuildSaveCommand(const SaveCommandItems& items) {
    // Without a program start would run whatever is called MarkupSave in the
    // current folder or on the path.
    if (SaveProgram(items.program).empty()) return {SaveCommandFault::kNoProgram, {}};
    if (!CanPassUnquoted(items.program) || !CanPass(items.sessionId) || !CanPass(items.serverPath) ||
        !CanPass(items.application))
        return {SaveCommandFault::kUnsafeLaunchValue, {}};
    if (!CanPass(items.markupFileName)) return {SaveCommandFault::kUnsafeFileName, {}};

    std::string line = items.program;
    line += kItemSeparator;
    line += kMarkupSaveWord;
    for (const std::string* item : {&items.sessionId, &items.serverPath, &items.markupFileName, &items.application}) {
        line += kItemSeparator;
        line += QuoteItem(*item);
    }
    if (line.size() > kMaxCommandLength) return {SaveCommandFault::kTooLong, {}};
    return {SaveCommandFault::kNone, line};
}
