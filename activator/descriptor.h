// The game descriptor (liblist.gam) as this program sees it: lines of opaque bytes, one of
// which names the game library. Plain functions over bytes; no file or window code here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lines.h"

namespace velmora {

// One line of the descriptor that a kept text was made from, by its offsets there, and what
// the rewrite makes of it: so that the check never has to work out again which lines the
// writer kept.
struct LineFate {
    std::size_t start = 0;  // its first byte
    std::size_t end = 0;    // just past its text, where its line end starts
    std::size_t next = 0;   // just past its line end
    bool replaced = false;  // a game-library line, which the rewrite drops
    // In the rewritten descriptor: just past the CR LF of the last line kept up to this one
    // (0 before the first); set by the writer.
    std::size_t rewrittenEnd = 0;
};

// The descriptor's lines other than its game-library lines, in file order, joined by CR LF
// with no line end after the last one. `hasLines` tells "no line kept" apart from "one blank
// line kept", which both have an empty `text`.
struct KeptText {
    std::string text;
    bool hasLines = false;
    std::vector<LineFate> lines;  // every line of the descriptor, kept or replaced
};

// A game-library line is one whose first word, as the game reads the line (WordScanner), is
// "gamedll" in any letter case: the key the game reads the Windows game library from, also
// where a bracket, a comma or an apostrophe follows it at once. Comments, keys that mention
// gamedll in their values and the keys of other platforms' libraries ("gamedll_linux",
// "gamedll_osx") are ordinary lines.
bool isGameLibraryLine(std::string_view line);

// dlls\<library>: the game library as the game-library line names it.
std::string gameLibraryValue(std::string_view library);

// The line that names dlls\<library> as the game library, without a line end.
std::string gameLibraryLine(std::string_view library);

// Splits the descriptor into lines (lines.h) and keeps every line that is not a game-library
// line.
// NUL bytes at the very end are padding: the game stops reading at the first one, so they
// are not kept, and the line written after the kept ones is read.
KeptText keepOrdinaryLines(std::string_view descriptor);

// The descriptor to write, and where the writer put its lines.
struct RewrittenDescriptor {
    std::string bytes;
    std::vector<LineFate> lines;           // the kept text's lines, with their ends in `bytes`
    std::size_t gameLibraryLineStart = 0;  // where the new game-library line starts
    std::string gameLibraryValue;          // what that line names: dlls\<library>
};

// The kept lines, then the game-library line for `library`, each ended by CR LF.
RewrittenDescriptor rewrittenDescriptor(const KeptText& kept, std::string_view library);

}  // namespace velmora
