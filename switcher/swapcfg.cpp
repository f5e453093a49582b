#include "swapcfg.h"

#include <limits>

#include "file_set.h"

namespace swapcfg {
namespace {

template <typename Char>
bool isCSpace(Char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

template <typename Char>
bool isDigit(Char c) {
    return c >= '0' && c <= '9';
}

// What cmd leaves of a line after a closing quote when it takes a redirection or the next
// command off it.
constexpr NativeString::value_type kBlanks[] = {' ', '\t', '\0'};

Mode modeFor(long long value) {
    if (value == 1) {
        return Mode::InstallBotVariants;
    }
    return value == 2 ? Mode::RestoreBackups : Mode::None;
}

// The plain joining stands wherever it names any file of the set. Where it names none and the
// prefix names a folder, the user can only have meant that folder.
NativeString prefixInUse(FileOps& files, const NativeString& prefix) {
    if (namesAnyFileOfTheSet(files, prefix)) {
        return prefix;
    }
    return files.withFolderSeparator(prefix).value_or(prefix);
}

}  // namespace

template <typename Char>
Mode parseMode(std::basic_string_view<Char> text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Beyond this the value is no int at all, and certainly not 1 or 2.
    constexpr long long kLimit = std::numeric_limits<int>::max();
    long long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > kLimit) {
            return Mode::None;
        }
    }
    return modeFor(negative ? -value : value);
}

template Mode parseMode<char>(std::basic_string_view<char>);
template Mode parseMode<wchar_t>(std::basic_string_view<wchar_t>);

NativeString prefixFromWindowsArgument(NativeString prefix) {
    const std::size_t quote = prefix.find('"');
    if (quote == NativeString::npos ||
        prefix.find_first_not_of(kBlanks, quote + 1) != NativeString::npos) {
        return prefix;
    }
    prefix.resize(quote);
    prefix += '\\';
    return prefix;
}

int run(FileOps& files, std::span<const NativeString> arguments) {
    if (arguments.size() != 3) {
        return 0;
    }
    const Mode mode = parseMode(std::basic_string_view<NativeString::value_type>(arguments[1]));
    if (mode == Mode::None) {
        return 0;
    }
    const NativeString prefix = prefixInUse(files, arguments[2]);
    // Two runs on one folder must not interleave: one would take the other's set-aside file
    // for one a killed run left, or move a file the other has just put in place.
    const auto turn = files.waitForTurn(joinedName(prefix, kFileSet.front().live), kTurnPatience);
    if (!turn) {
        return 0;
    }
    mendKilledRun(files, prefix);
    if (mode == Mode::InstallBotVariants) {
        installBotVariants(files, prefix);
    } else {
        restoreBackups(files, prefix);
    }
    return 0;
}

}  // namespace swapcfg
