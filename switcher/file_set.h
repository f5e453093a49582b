// The switcher's whole job: a fixed set of configuration files, each with a bot variant and
// a backup, swapped by renaming. Plain code over FileOps and names.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "file_ops.h"

namespace swapcfg {

struct FileSetEntry {
    std::string_view live;
    std::string_view backup;
    std::string_view botVariant;
};

// Processed in this order.
inline constexpr std::array<FileSetEntry, 4> kFileSet = {{
    {"liblist.gam", "liblist.bak", "liblist.bot"},
    {"settings.scr", "settings.bak", "settings.bot"},
    {"game.cfg", "game.bak", "game.bot"},
    {"commandmenu.txt", "commandmenu.bak", "commandmenu.bot"},
}};

enum class Mode { None, InstallBotVariants, RestoreBackups };

// Reads the mode as C's atoi would, without its undefined overflow: leading white space,
// one optional sign, then decimal digits up to the first other character. 1 installs,
// 2 restores; anything else, a number too large for an int included, does nothing.
template <typename Char>
Mode parseMode(std::basic_string_view<Char> text);

// The prefix followed directly by the file name: no separator is added.
NativeString joinedName(const NativeString& prefix, std::string_view fileName);

// For each entry: the live file becomes the backup, the bot variant becomes the live file.
void installBotVariants(FileOps& files, const NativeString& prefix);

// For each entry whose backup can be moved: the live file is set aside under a temporary name
// beside it, the backup becomes the live file again, and the set-aside file becomes the bot
// variant (or is deleted when that name is taken by another file). Where the backup does not
// move, the live file is put back; where the live file does not move, both stay. An entry
// never ends with fewer files than it began with.
void restoreBackups(FileOps& files, const NativeString& prefix);

// The temporary names a restore tries, in turn, for the live file it sets aside:
// "<live>.swapcfg-<attempt>.tmp".
inline constexpr int kAsideNameTries = 16;
NativeString asideName(const NativeString& live, int attempt);

// How long a run waits for another run on the same folder to finish; a real run takes
// milliseconds, even on a slow share.
inline constexpr std::chrono::milliseconds kTurnPatience{60'000};

// The program: exactly two arguments after the program's name, a mode and a prefix; any
// other count does nothing. Runs on the same folder take turns; a run whose turn does not
// come does nothing. Always returns the exit status 0.
int run(FileOps& files, std::span<const NativeString> arguments);

}  // namespace swapcfg
