#include "file_set.h"

#include <optional>
#include <string_view>
#include <vector>

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

// What an install without a record does to the entry as it finds it.
EntryChange plannedChange(FileOps& files, const FileSetEntry& entry, const EntryNames& names) {
    const bool hasBotVariant = files.isMovableFile(names.botVariant);
    if (!files.exists(names.live)) {
        return hasBotVariant ? EntryChange::BotAdded : EntryChange::None;
    }
    // A backup that this install did not make stays as it is, and so does the live file.
    if (files.exists(names.backup) || (entry.gameNeedsIt && !hasBotVariant)) {
        return EntryChange::None;
    }
    return EntryChange::BackedUp;
}

// Carries out the entry's change from wherever an earlier, stopped run of it left off; where
// it is done, nothing is left to do.
void installEntry(FileOps& files, const FileSetEntry& entry, const EntryNames& names,
                  EntryChange change) {
    if (change == EntryChange::None) {
        return;
    }
    if (change == EntryChange::BackedUp && files.exists(names.live) &&
        !files.exists(names.backup)) {
        if (entry.gameNeedsIt) {
            if (files.isMovableFile(names.botVariant)) {
                installKeepingTheLiveFile(files, names);
            }
            return;
        }
        files.renameNoReplace(names.live, names.backup);
    }
    if (!files.exists(names.live) && files.isMovableFile(names.botVariant)) {
        files.renameNoReplace(names.botVariant, names.live);
    }
}

// The live file makes way under a temporary name, so that nothing has gone before the
// backup has moved in.
void restoreBackedUpEntry(FileOps& files, const EntryNames& names) {
    if (!files.isMovableFile(names.backup)) {
        return;
    }
    const std::optional<NativeString> aside = setAside(files, names.live, names.live);
    files.renameNoReplace(names.backup, names.live);
    if (aside) {
        settle(files, names, *aside);
    }
}

// The bot variant an install put in place goes back to its own name, or to a kept name
// where that is taken; the live name stays empty, as it was before the install.
void restoreAddedBotVariant(FileOps& files, const EntryNames& names) {
    if (!files.exists(names.live)) {
        return;
    }
    const std::optional<NativeString> aside = setAside(files, names.live, names.live);
    if (aside && files.renameNoReplace(*aside, names.botVariant) == RenameResult::TargetTaken) {
        keepUnderItsOwnName(files, names.live, *aside);
    }
}

NativeString planDigits(const InstallPlan& plan) {
    NativeString digits;
    for (const EntryChange change : plan) {
        digits += static_cast<NativeString::value_type>(change);
    }
    return digits;
}

// The plan of the record in the folder, if there is one.
std::optional<InstallPlan> recordedPlan(FileOps& files, const NativeString& prefix) {
    constexpr std::array<EntryChange, 3> kChanges = {EntryChange::None, EntryChange::BackedUp,
                                                     EntryChange::BotAdded};
    // Each entry's change is one digit of a number in base 3.
    std::size_t combinations = 1;
    for (std::size_t i = 0; i < kFileSet.size(); ++i) {
        combinations *= kChanges.size();
    }
    InstallPlan plan{};
    for (std::size_t combination = 0; combination < combinations; ++combination) {
        std::size_t rest = combination;
        for (EntryChange& change : plan) {
            change = kChanges[rest % kChanges.size()];
            rest /= kChanges.size();
        }
        if (files.exists(recordName(prefix, plan))) {
            return plan;
        }
    }
    return std::nullopt;
}

// A record is needed where the install changes anything, and where a backup is there that a
// restore, finding no record, would take for one an install made.
std::optional<InstallPlan> newPlan(FileOps& files, const NativeString& prefix) {
    InstallPlan plan{};
    bool needsRecord = false;
    for (std::size_t i = 0; i < kFileSet.size(); ++i) {
        const EntryNames names = namesOf(kFileSet[i], prefix);
        plan[i] = plannedChange(files, kFileSet[i], names);
        needsRecord = needsRecord || plan[i] != EntryChange::None || files.exists(names.backup);
    }
    if (!needsRecord || !files.createEmptyFile(recordName(prefix, plan))) {
        return std::nullopt;
    }
    return plan;
}

// The names of one file that a stopped link-and-unlink move left: the later one goes.
void dropSecondNames(FileOps& files, const EntryNames& names) {
    std::vector<NativeString> present;
    const auto look = [&](const NativeString& name) {
        if (!files.exists(name)) {
            return;
        }
        for (const NativeString& earlier : present) {
            if (files.dropSecondName(name, earlier)) {
                return;
            }
        }
        present.push_back(name);
    };
    look(names.live);
    look(names.backup);
    look(names.botVariant);
    for (int attempt = 0; attempt < kAsideNameTries; ++attempt) {
        look(asideName(names.live, attempt));
    }
    for (int attempt = 0; attempt < kKeptNameTries; ++attempt) {
        look(keptName(names.live, attempt));
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

NativeString recordName(const NativeString& prefix, const InstallPlan& plan) {
    return joinedName(joinedName(prefix, "liblist.gam.swapcfg-") + planDigits(plan), ".installed");
}

void installBotVariants(FileOps& files, const NativeString& prefix) {
    std::optional<InstallPlan> plan = recordedPlan(files, prefix);
    if (!plan) {
        plan = newPlan(files, prefix);
    }
    if (!plan) {
        return;
    }
    for (std::size_t i = 0; i < kFileSet.size(); ++i) {
        installEntry(files, kFileSet[i], namesOf(kFileSet[i], prefix), (*plan)[i]);
    }
}

// The record goes only once every entry is restored: a restore that a locked file stopped
// part way is finished by the next one, by the same plan.
void restoreBackups(FileOps& files, const NativeString& prefix) {
    const std::optional<InstallPlan> plan = recordedPlan(files, prefix);
    bool restored = true;
    for (std::size_t i = 0; i < kFileSet.size(); ++i) {
        const EntryNames names = namesOf(kFileSet[i], prefix);
        const EntryChange change = plan ? (*plan)[i] : EntryChange::BackedUp;
        if (change == EntryChange::BackedUp) {
            restoreBackedUpEntry(files, names);
            restored = restored && !files.exists(names.backup);
        } else if (change == EntryChange::BotAdded) {
            restoreAddedBotVariant(files, names);
            restored = restored && !files.exists(names.live);
        }
    }
    if (plan && restored) {
        files.removeEmptyFile(recordName(prefix, *plan));
    }
}

void mendKilledRun(FileOps& files, const NativeString& prefix) {
    for (const FileSetEntry& entry : kFileSet) {
        const EntryNames names = namesOf(entry, prefix);
        dropSecondNames(files, names);
        for (int attempt = 0; attempt < kAsideNameTries; ++attempt) {
            const NativeString aside = asideName(names.live, attempt);
            if (files.exists(aside)) {
                settle(files, names, aside);
            }
        }
    }
}

}  // namespace swapcfg
