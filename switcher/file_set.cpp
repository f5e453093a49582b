#include "file_set.h"

#include <limits>
#include <optional>
#include <string_view>

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

NativeString joinedName(const NativeString& prefix, std::string_view fileName) {
    NativeString name = prefix;
    name.append(fileName.begin(), fileName.end());
    return name;
}

void installBotVariants(FileOps& files, const NativeString& prefix) {
    for (const FileSetEntry& entry : kFileSet) {
        const NativeString live = joinedName(prefix, entry.live);
        files.renameNoReplace(live, joinedName(prefix, entry.backup));
        files.renameNoReplace(joinedName(prefix, entry.botVariant), live);
    }
}

NativeString asideName(const NativeString& live, int attempt) {
    NativeString name = joinedName(live, ".swapcfg-");
    const std::size_t digits = name.size();
    do {
        name.insert(name.begin() + static_cast<std::ptrdiff_t>(digits),
                    static_cast<NativeString::value_type>('0' + attempt % 10));
        attempt /= 10;
    } while (attempt != 0);
    return joinedName(name, ".tmp");
}

std::optional<NativeString> setAside(FileOps& files, const NativeString& live) {
    for (int attempt = 0; attempt < kAsideNameTries; ++attempt) {
        NativeString aside = asideName(live, attempt);
        switch (files.renameNoReplace(live, aside)) {
            case RenameResult::Renamed:
                return aside;
            case RenameResult::TargetTaken:
                continue;  // left by a run that was killed: pass it over, leave it alone
            case RenameResult::Failed:
                return std::nullopt;
        }
    }
    return std::nullopt;
}

void restoreBackups(FileOps& files, const NativeString& prefix) {
    for (const FileSetEntry& entry : kFileSet) {
        const NativeString backup = joinedName(prefix, entry.backup);
        if (!files.canOpenForReading(backup)) {
            continue;
        }
        const NativeString live = joinedName(prefix, entry.live);
        // The live file makes way under a name of its own, so that nothing is deleted before
        // the backup has moved; where the backup does not move, it goes back.
        const std::optional<NativeString> aside = setAside(files, live);
        if (files.renameNoReplace(backup, live) != RenameResult::Renamed) {
            if (aside) {
                files.renameNoReplace(*aside, live);
            }
            continue;
        }
        // Kept as the bot variant for the next install; deleted only where that name is taken.
        if (aside && files.renameNoReplace(*aside, joinedName(prefix, entry.botVariant)) ==
                         RenameResult::TargetTaken) {
            files.remove(*aside);
        }
    }
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
    // Two runs on one folder must not interleave: a step of one can delete the file that a
    // step of the other has just put in place.
    const auto turn = files.waitForTurn(joinedName(prefix, kFileSet.front().live), kTurnPatience);
    if (!turn) {
        return 0;
    }
    if (mode == Mode::InstallBotVariants) {
        installBotVariants(files, prefix);
    } else {
        restoreBackups(files, prefix);
    }
    return 0;
}

}  // namespace swapcfg
