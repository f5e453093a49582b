// Whether the game reads a rewritten descriptor as Velmora means it to; where it would not,
// which line is to blame and why, in terms a player can act on. Plain functions over bytes.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "descriptor.h"

namespace velmora {

enum class RefusalReason {
    TooLarge,                // the new descriptor would be larger than the game reads
    TooLargeAlready,         // the descriptor is larger than the game reads
    SavedAsUnicode,          // the descriptor is UTF-16 text, which the game cannot read
    ZeroByte,                // a zero byte on the line ends the game's reading
    EmptyKey,                // a setting on the line is named by an empty word (""): the end
    UnclosedQuote,           // the line opens a quote that it does not close
    KeyWithoutValue,         // the line holds a single word
    UnpairedWords,           // the line holds an odd number of words
    GamedllSharesLine,       // gamedll and other words on one line
    GamedllValueOnNextLine,  // gamedll alone on its line
    LongWord,                // a word longer than the game reads in one piece
    ChangedWhileSaving,      // another program kept changing the descriptor
    // The readings differ in a way that none of the above names: the check then names the
    // line where they part (or none) and gives this. The fuzzer holds that no input it
    // finds ends here.
    Unexplained,
};

struct Refusal {
    RefusalReason reason = RefusalReason::Unexplained;
    int line = 0;                    // the line to mend, as a text editor counts; 0 for none
    std::string lineText;            // that line's bytes, without its line end
    std::vector<std::string> words;  // the words the game reads on that line
    bool lineIsReplaced = false;     // it is a game-library line, which Velmora replaces
    std::size_t size = 0;            // TooLarge: the size the new descriptor would have

    bool operator==(const Refusal&) const = default;
};

// Checks `rewritten`, which the line rule made from `current`, as the game would read it.
// Nothing when all of these hold:
// - `current` is 8-bit text, not UTF-16 (a text editor's "Unicode");
// - the game reads it as exactly one gamedll entry, the new line's, whose value is the one
//   the writer wrote there, and that entry comes last;
// - every other entry the game reads from `current` it still reads from `rewritten`, in the
//   same order (entries that only become readable, such as a line that a comment ended by a
//   lone CR hid, may come in between);
// - both are within the game's size limit (`current` may be cut short one byte past it), and
//   no word in either is one the game would split.
// Otherwise the refusal names the first line after which the game's reading of the two
// stops agreeing for good, and what on that line makes it so.
std::optional<Refusal> checkRewrite(std::string_view current, const RewrittenDescriptor& rewritten);

}  // namespace velmora
