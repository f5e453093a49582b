// The switcher's whole job: a fixed set of configuration files, each with a bot variant and
// a backup, swapped by renaming. Plain code over FileOps and names.
#pragma once

#include <array>
#include <string_view>

#include "file_ops.h"

namespace swapcfg {

struct FileSetEntry {
    std::string_view live;
    std::string_view backup;
    std::string_view botVariant;
    // Without it the game does not load the modification: an install never leaves it missing.
    bool gameNeedsIt = false;
};

// Processed in this order.
inline constexpr std::array<FileSetEntry, 4> kFileSet = {{
    {"liblist.gam", "liblist.bak", "liblist.bot", true},
    {"settings.scr", "settings.bak", "settings.bot"},
    {"game.cfg", "game.bak", "game.bot"},
    {"commandmenu.txt", "commandmenu.bak", "commandmenu.bot"},
}};

// The prefix followed directly by the file name: no separator is added.
NativeString joinedName(const NativeString& prefix, std::string_view fileName);

// True when the prefix, plainly joined, names a live file, a backup or a bot variant that
// exists.
bool namesAnyFileOfTheSet(FileOps& files, const NativeString& prefix);

// What an install did to each entry, in the order of kFileSet. It is written into the name
// of the install's record, an empty file (recordName): the restore undoes exactly that,
// whatever other .bak files the folder holds, and an install that finds a record only
// finishes what it did.
enum class EntryChange : char {
    None = '0',      // left alone: a backup it did not make was there, or nothing to move
    BackedUp = '1',  // the live file became the backup; the bot variant, if any, took its name
    BotAdded = '2',  // there was no live file: the bot variant took the live name
};
using InstallPlan = std::array<EntryChange, kFileSet.size()>;

// "<prefix>liblist.gam.swapcfg-<one digit per entry>.installed", such as
// liblist.gam.swapcfg-1112.installed.
NativeString recordName(const NativeString& prefix, const InstallPlan& plan);

// Mode 1. Without a record: plans each entry, writes the record (where the plan changes
// anything, or a backup is there that a restore must leave alone), then carries the plan
// out. With a record: carries its plan out, which changes nothing where it is done. For each
// entry the plan changes:
// - BackedUp: the live file becomes the backup, and the bot variant (a regular file) the
//   live file. For an entry the game needs, the bot variant first moves beside the live file
//   under a temporary name, and only then does the live file move: without a bot variant
//   that moves, the live file stays. The other entries' live files become backups even
//   without one.
// - BotAdded: the bot variant becomes the live file.
void installBotVariants(FileOps& files, const NativeString& prefix);

// Mode 2. With a record, undoes its plan and then removes it: a backed-up entry's backup
// becomes the live file again, an added bot variant goes back to its name. Without one, as
// for an install that kept none: each entry whose backup can be moved is restored. Either way
// the live file is set aside under a temporary name beside it first, and the set-aside file
// becomes the bot variant, or, where that name is taken by another file, a kept file of its
// own (keptName); a backed-up entry's backup then becomes the live file, and where it does
// not move, the live file is put back. Where the live file does not move, both stay.
// Nothing is deleted but the record.
void restoreBackups(FileOps& files, const NativeString& prefix);

// Settles what a run that was killed part way left. Where a move by a link and an unlink
// was stopped between the two (Linux file systems without RENAME_NOREPLACE), one file of the
// entry has two names: the later name in the order live, backup, bot variant, temporary
// names, kept names is dropped, which leaves the folder as it was right before that move or
// right after it. Then a file set aside under a temporary name goes to the live name where
// that is free, else to the bot variant's, else to a kept name. For an install killed
// between its renames that finishes the entry: the bot variant set aside takes the live name.
// For a restore it undoes the step: the live file set aside goes back, and the restore that
// follows, in the same run, does it again. Either way the same command run again ends as one
// uninterrupted run would have; until then, a killed run may have left the game without
// liblist.gam.
void mendKilledRun(FileOps& files, const NativeString& prefix);

// The temporary names an entry's set-aside file takes, in turn: "<live>.swapcfg-<attempt>.tmp".
inline constexpr int kAsideNameTries = 16;
NativeString asideName(const NativeString& live, int attempt);

// The names a set-aside file is kept under, in turn, when neither the live nor the bot
// variant's name is free: "<live>.swapcfg-<attempt>.kept". Not a name of the file set, never
// over another file, and not ".tmp", which cleaners delete.
inline constexpr int kKeptNameTries = 16;
NativeString keptName(const NativeString& live, int attempt);

}  // namespace swapcfg
