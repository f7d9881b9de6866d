#include "pdm/save_command.h"

#include "platform/system/file_ops.h"
#include "platform/system/launch.h"
#include "platform/text/ansi_code_page.h"

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
// The interpreter's instructions; the program's words go in unquoted, so
// there they are refused.
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

namespace {

// Whether a part of the value longer than its first word, up to a later
// blank or separator or the whole of it, names something that exists: then
// the value is a path with blanks (C:\Program Files\...) and the first word
// only its beginning.
bool LongerPartExists(const std::string& value, size_t firstWordEnd) {
    constexpr char kEnds[] = " \t\\/";
    for (size_t at = value.find_first_of(kEnds, firstWordEnd + 1); at != std::string::npos;
         at = value.find_first_of(kEnds, at + 1))
        if (PathExists(value.substr(0, at))) return true;
    return PathExists(value);
}

// The item as the line holds it: the identifier in its place.
std::string LineOf(const SaveCommandItems& items, const std::string& sessionIdText) {
    std::string line = ProgramInLine(items.program);
    if (!items.program.words.empty()) line += kItemSeparator + items.program.words;
    line += kItemSeparator;
    line += kMarkupSaveWord;
    line += kItemSeparator;
    line += sessionIdText;
    for (const std::string* item : {&items.serverPath, &items.markupFileName, &items.application}) {
        line += kItemSeparator;
        line += QuoteItem(*item);
    }
    return line;
}

}  // namespace

SaveProgram ReadSaveProgram(const std::string& dmAgent) {
    const std::string value = TrimBlanks(dmAgent);
    SaveProgram read;
    if (!value.empty() && value.front() == kQuote) {
        // A blank or tab is never the second byte of a double-byte
        // character, nor is a quote: the bytes can be searched as they are.
        read.quoted = true;
        const size_t close = value.find(kQuote, 1);
        if (close == std::string::npos) {
            read.program = value.substr(1);
            read.wellFormed = false;
            return read;
        }
        read.program = value.substr(1, close - 1);
        const size_t programEnd = close + 1;
        if (programEnd < value.size() && std::string_view(kWordSeparators).find(value[programEnd]) == std::string::npos)
            read.wellFormed = false;
        read.words = TrimBlanks(value.substr(programEnd));
        return read;
    }
    const size_t firstWordEnd = value.find_first_of(kWordSeparators);
    if (firstWordEnd == std::string::npos || IsExistingFile(value)) {
        read.program = value;
        return read;
    }
    read.program = value.substr(0, firstWordEnd);
    read.words = TrimBlanks(value.substr(firstWordEnd));
    read.prefixOfPath = LongerPartExists(value, firstWordEnd);
    return read;
}

std::string ProgramInLine(const SaveProgram& program) {
    if (!program.quoted && FindFirstCharacterOf(program.program, kNeedsQuotes) == std::string::npos)
        return program.program;
    return kQuote + program.program + std::string(TrailingBackslashes(program.program), kBackslash) + kQuote;
}

SaveCommand BuildSaveCommand(const SaveCommandItems& items) {
    const SaveProgram& program = items.program;
    // Without a program start would run whatever is called MarkupSave in the
    // current folder or on the path.
    if (program.program.empty() && program.wellFormed) return {SaveCommandFault::kNoProgram, {}};
    if (program.prefixOfPath) return {SaveCommandFault::kProgramNotFound, {}};
    // The program goes in quoted where it needs quotes; its words stay
    // unquoted, so there the interpreter's instructions are refused, and so
    // they are in a program written without quotes, which no front end
    // writes with them but for an attack.
    const bool programPasses = program.quoted ? CanPass(program.program) : CanPassUnquoted(program.program);
    if (!program.wellFormed || !programPasses || !CanPassUnquoted(program.words) ||
        !CanPass(items.sessionId) || !CanPass(items.serverPath) || !CanPass(items.application))
        return {SaveCommandFault::kUnsafeLaunchValue, {}};
    if (!CanPass(items.markupFileName)) return {SaveCommandFault::kUnsafeFileName, {}};

    std::string line = LineOf(items, QuoteItem(items.sessionId));
    const std::string inLine = ProgramInLine(program);
    const size_t limit = kMaxCommandLength - (inLine.front() == kQuote ? std::strlen(kEmptyWindowTitle) : 0);
    if (line.size() > limit) return {SaveCommandFault::kTooLong, {}};
    return {SaveCommandFault::kNone, std::move(line)};
}

std::string CommandLineForLog(const SaveCommandItems& items, const std::string& maskedSessionId) {
    return LineOf(items, maskedSessionId);
}
