// The game descriptor (liblist.gam) as this program sees it: lines of opaque bytes, one of
// which names the game library. Plain functions over bytes; no file or window code here.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

// The descriptor's lines other than its game-library lines, in file order, joined by CR LF
// with no line end after the last one. `hasLines` tells "no line kept" apart from "one blank
// line kept", which both have an empty `text`.
struct KeptText {
    std::string text;
    bool hasLines = false;
};

// A game-library line names the Windows game library: it contains "gamedll" but is not the
// line for another platform's library ("gamedll_linux", "gamedll_osx"). Case-sensitive.
bool isGameLibraryLine(std::string_view line);

// The line that names dlls\<library> as the game library, without a line end.
std::string gameLibraryLine(std::string_view library);

// Splits the descriptor into lines (CR LF, lone LF and lone CR each end a line; a last line
// without a line end is a line too) and keeps every line that is not a game-library line.
KeptText keepOrdinaryLines(std::string_view descriptor);

// The descriptor to write: the kept lines, then the game-library line for `library`, each
// ended by CR LF.
std::string rewrittenDescriptor(const KeptText& kept, std::string_view library);

}  // namespace velmora
