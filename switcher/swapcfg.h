// The program swapcfg: its command line and how a run goes, over FileOps. Its main is in
// main_win.cpp or main_linux.cpp; the file set and its steps are in file_set.h.
#pragma once

#include <chrono>
#include <span>
#include <string_view>

#include "file_ops.h"

namespace swapcfg {

enum class Mode { None, InstallBotVariants, RestoreBackups };

// Reads the mode as C's atoi would, without its undefined overflow: leading white space,
// one optional sign, then decimal digits up to the first other character. 1 installs,
// 2 restores; anything else, a number too large for an int included, does nothing.
template <typename Char>
Mode parseMode(std::basic_string_view<Char> text);

// Windows' argument rules read a backslash before a quote as an escape: the quoted folder
// "C:\My Games\qox\" arrives as C:\My Games\qox", and as C:\My Games\qox" followed by a blank
// where cmd took a redirection (>nul) or the next command (&& ...) off the line after it. No
// Windows file name holds a quote, so a quote followed by nothing but blanks and tabs can
// only be that backslash: the prefix ends there, with the backslash. Anything else stays as
// it came; a quote followed by more words names nothing, as three arguments do nothing.
NativeString prefixFromWindowsArgument(NativeString prefix);

// How long a run waits for another run on the same folder to finish; a real run takes
// milliseconds, even on a slow share.
inline constexpr std::chrono::milliseconds kTurnPatience{60'000};

// The program: exactly two arguments after the program's name, a mode and a prefix; any
// other count does nothing. The prefix is put before each file name as it is, unless that
// names no file of the set and the prefix names a folder: then the run works in that folder,
// as if the prefix ended in a separator. Runs on the same folder take turns; a run whose turn does
// not come does nothing, and one whose turn comes first mends what a killed run left. Always
// returns the exit status 0.
int run(FileOps& files, std::span<const NativeString> arguments);

}  // namespace swapcfg
