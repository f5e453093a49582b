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
// "C:\My Games\qox\" arrives as C:\My Games\qox". No Windows file name holds a quote, so a
// final one can only be that backslash, and becomes it again. Everything else stays as it
// came, a prefix without a trailing separator included.
NativeString prefixFromWindowsArgument(NativeString prefix);

// How long a run waits for another run on the same folder to finish; a real run takes
// milliseconds, even on a slow share.
inline constexpr std::chrono::milliseconds kTurnPatience{60'000};

// The program: exactly two arguments after the program's name, a mode and a prefix; any
// other count does nothing. Runs on the same folder take turns; a run whose turn does not
// come does nothing, and one whose turn comes first mends what a killed run left. Always
// returns the exit status 0.
int run(FileOps& files, std::span<const NativeString> arguments);

}  // namespace swapcfg
