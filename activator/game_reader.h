// liblist.gam as the game itself reads it: not lines, but a stream of words that pair up as
// a setting's key and its value. Plain functions over bytes; no file or window code here.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "lines.h"

namespace velmora {

// The game does not start with a descriptor larger than this.
inline constexpr std::size_t kLargestDescriptor = 262'144;

// The game splits a longer word in two. Velmora refuses a descriptor that holds one rather
// than model how.
inline constexpr std::size_t kLongestWord = 1023;

// One word as the game reads it.
struct Word {
    std::string_view text;  // without its quotes
    std::size_t start = 0;  // offset of its first byte (an opening quote)
    std::size_t end = 0;    // offset just past its last byte (a closing quote)
    int line = 1;           // the line it starts on (lines.h)
    bool closed = true;     // false for a quote that runs on to the end of what the game reads
};

// The bytes 0x01 to 0x20 separate words. (The zero byte is never met between words: the
// reading has stopped before it.)
inline bool separatesWords(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

// Hands out a descriptor's words one at a time, in file order, as the game's reader does:
// - it reads up to the first zero byte;
// - bytes 0x01 to 0x20 separate words;
// - "//" at the start of a word starts a comment that runs to the next LF (a lone CR does
//   not end it);
// - a word that starts with a double quote runs to the next one, across line ends, or to the
//   end; the quotes are not part of it;
// - outside quotes each of { } ( ) ' , is a word of its own and ends the word before it;
// - any other word runs to the next separating byte or one of those six.
// Its words carry the numbers of the lines they start on, as lines.h splits them.
class WordScanner {
  public:
    explicit WordScanner(std::string_view descriptor);

    // The next word, or nothing at the end of what the game reads.
    std::optional<Word> next();

    // Where the game stops reading: at the first zero byte, or at the end.
    std::size_t readableEnd() const { return text_.size(); }
    bool endsAtZeroByte() const { return endsAtZeroByte_; }

  private:
    void skipSeparatorsAndComments();

    std::string_view text_;  // the descriptor up to its first zero byte
    bool endsAtZeroByte_;
    std::size_t position_ = 0;
    LineCounter lines_;
};

// One setting: its key, which the game compares in any letter case, and its value.
struct Entry {
    Word key;
    Word value;
};

enum class ReadingEnd {
    EndOfBytes,
    ZeroByte,
    EmptyKey,  // a key that is an empty word (""): the game reads no further
};

struct GameReading {
    std::vector<Word> words;     // every word read, in order, up to where the reading ended
    std::vector<Entry> entries;  // the words paired up; a last key without a value is none
    ReadingEnd end = ReadingEnd::EndOfBytes;
    std::size_t endOffset = 0;  // offset of the zero byte or the empty key, or the size
};

GameReading readAsTheGame(std::string_view descriptor);

// "gamedll" in any letter case: the key the game takes its Windows game library from.
bool isGameLibraryKey(std::string_view key);

}  // namespace velmora
