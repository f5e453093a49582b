#include "file_set.h"

#include <optional>
#include <string_view>

namespace swapcfg {

NativeString joinedName(const NativeString& prefix, std::string_view fileName) {
    NativeString name = prefix;
    name.append(fileName.begin(), fileName.end());
    return name;
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
    if (!files.isRestorableBackup(names.backup)) {
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

bool namesAnyFileOfTheSet(FileOps& files, const NativeString& prefix) {
    for (const FileSetEntry& entry : kFileSet) {
        const EntryNames names = namesOf(entry, prefix);
        if (files.exists(names.live) || files.exists(names.backup) ||
            files.exists(names.botVariant)) {
            return true;
        }
    }
    return false;
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

}  // namespace swapcfg
