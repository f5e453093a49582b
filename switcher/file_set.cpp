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

NativeString prefixFromWindowsArgument(NativeString prefix) {
    if (!prefix.empty() && prefix.back() == '"') {
        prefix.back() = '\\';
    }
    return prefix;
}

namespace {

struct EntryNames {
    NativeString live;
    NativeString backup;
    NativeString botVariant;
};

EntryNames namesOf(const FileSetEntry& entry, const NativeString& prefix) {
    return {joinedName(prefix, entry.live), joinedName(prefix, entry.backup),
            joinedName(prefix, entry.botVariant)};
}

NativeString numberedName(const NativeString& live, int attempt, std::string_view extension) {
    NativeString name = joinedName(live, ".swapcfg-");
    const std::size_t digits = name.size();
    do {
        name.insert(name.begin() + static_cast<std::ptrdiff_t>(digits),
                    static_cast<NativeString::value_type>('0' + attempt % 10));
        attempt /= 10;
    } while (attempt != 0);
    return joinedName(name, extension);
}

// Moves `from` to the first free temporary name of the entry whose live file is `live`.
std::optional<NativeString> setAside(FileOps& files, const NativeString& from,
                                     const NativeString& live) {
    for (int attempt = 0; attempt < kAsideNameTries; ++attempt) {
        NativeString aside = asideName(live, attempt);
        switch (files.renameNoReplace(from, aside)) {
            case RenameResult::Renamed:
                return aside;
            case RenameResult::TargetTaken:
                continue;  // one that could not be settled: pass it over, leave it alone
            case RenameResult::Failed:
                return std::nullopt;
        }
    }
    return std::nullopt;
}

void keepUnderItsOwnName(FileOps& files, const NativeString& live, const NativeString& aside) {
    for (int attempt = 0; attempt < kKeptNameTries; ++attempt) {
        if (files.renameNoReplace(aside, keptName(live, attempt)) != RenameResult::TargetTaken) {
            return;
        }
    }
}

// The one rule for a set-aside file, whichever step put it there: the live name where it is
// free, else the bot variant's, else a kept name. A file that will not move stays as it is.
void settle(FileOps& files, const EntryNames& names, const NativeString& aside) {
    if (files.renameNoReplace(aside, names.live) != RenameResult::TargetTaken) {
        return;
    }
    if (files.renameNoReplace(aside, names.botVariant) != RenameResult::TargetTaken) {
        return;
    }
    keepUnderItsOwnName(files, names.live, aside);
}

// The bot variant moves beside the live file first, so that the live file moves only once
// something waits to take its place; settling then puts it in (or back, where the live file
// stayed because its backup's name is taken).
void installKeepingTheLiveFile(FileOps& files, const EntryNames& names) {
    const std::optional<NativeString> incoming = setAside(files, names.botVariant, names.live);
    if (!incoming) {
        return;
    }
    const bool movedToBackup =
        files.renameNoReplace(names.live, names.backup) == RenameResult::Renamed;
    settle(files, names, *incoming);
    if (movedToBackup && !files.exists(names.live)) {
        files.renameNoReplace(names.backup, names.live);
    }
}

void installEntry(FileOps& files, const FileSetEntry& entry, const EntryNames& names) {
    if (entry.gameNeedsIt) {
        installKeepingTheLiveFile(files, names);
        return;
    }
    files.renameNoReplace(names.live, names.backup);
    files.renameNoReplace(names.botVariant, names.live);
}

// The live file makes way under a temporary name, so that nothing has gone before the
// backup has moved in.
void restoreEntry(FileOps& files, const EntryNames& names) {
    if (!files.canOpenForReading(names.backup)) {
        return;
    }
    const std::optional<NativeString> aside = setAside(files, names.live, names.live);
    files.renameNoReplace(names.backup, names.live);
    if (aside) {
        settle(files, names, *aside);
    }
}

}  // namespace

NativeString asideName(const NativeString& live, int attempt) {
    return numberedName(live, attempt, ".tmp");
}

NativeString keptName(const NativeString& live, int attempt) {
    return numberedName(live, attempt, ".kept");
}

void installBotVariants(FileOps& files, const NativeString& prefix) {
    for (const FileSetEntry& entry : kFileSet) {
        installEntry(files, entry, namesOf(entry, prefix));
    }
}

void restoreBackups(FileOps& files, const NativeString& prefix) {
    for (const FileSetEntry& entry : kFileSet) {
        restoreEntry(files, namesOf(entry, prefix));
    }
}

void mendKilledRun(FileOps& files, const NativeString& prefix) {
    for (const FileSetEntry& entry : kFileSet) {
        const EntryNames names = namesOf(entry, prefix);
        for (int attempt = 0; attempt < kAsideNameTries; ++attempt) {
            const NativeString aside = asideName(names.live, attempt);
            if (files.exists(aside)) {
                settle(files, names, aside);
            }
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
