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

Mode modeFor(long long value) {
    if (value == 1) {
        return Mode::InstallBotVariants;
    }
    return value == 2 ? Mode::RestoreBackups : Mode::None;
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
    if (!prefix.empty() && prefix.back() == '"') {
        prefix.back() = '\\';
    }
    return prefix;
}

int run(FileOps& files, std::span<const NativeString> arguments) {
    if (arguments.size() != 3) {
        return 0;
    }
    const NativeString& prefix = arguments[2];
    const Mode mode = parseMode(std::basic_string_view<NativeString::value_type>(arguments[1]));
    if (mode == Mode::None) {
        return 0;
    }
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
