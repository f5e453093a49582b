#include "descriptor_check.h"

#include <algorithm>

#include "descriptor.h"
#include "game_reader.h"

namespace velmora {
namespace {

// A text editor's "Unicode": UTF-16, little- or big-endian, with its byte-order mark or
// without. Without one it shows as characters whose every other byte is zero, at least in the
// plain letters a descriptor starts with; a stray zero byte, or zero padding at the end,
// never makes a descriptor look so.
bool isSavedAsUtf16(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        return true;
    }
    constexpr std::size_t kUnitsLookedAt = 4;
    const std::size_t units = std::min(bytes.size() / 2, kUnitsLookedAt);
    // Whether every unit looked at holds its zero byte at `zeroAt` (1 for little-endian, 0
    // for big-endian) and a character's byte at the other place.
    const auto everyUnitHoldsZeroAt = [&](std::size_t zeroAt) {
        for (std::size_t unit = 0; unit < units; ++unit) {
            if (bytes[2 * unit + zeroAt] != '\0' || bytes[2 * unit + 1 - zeroAt] == '\0') {
                return false;
            }
        }
        return true;
    };
    return units >= 2 && (everyUnitHoldsZeroAt(1) || everyUnitHoldsZeroAt(0));
}

bool isGameLibraryEntry(const Entry& entry) {
    return isGameLibraryKey(entry.key.text);
}

bool sameEntry(const Entry& a, const Entry& b) {
    return a.key.text == b.key.text && a.value.text == b.value.text;
}

bool isLongWord(const Word& word) {
    return word.text.size() > kLongestWord;
}

// The first word the game would split, or null.
const Word* firstLongWord(const GameReading& reading) {
    const auto word = std::find_if(reading.words.begin(), reading.words.end(), isLongWord);
    return word != reading.words.end() ? &*word : nullptr;
}

bool holdsALongWord(const GameReading& reading) {
    return firstLongWord(reading) != nullptr;
}

// Matches the entries of one reading, other than gamedll ones, in order against those of
// another, as far as both have been read: each is matched to the first equal entry after the
// one matched before it. Called again with more of both, it goes on where it stopped.
class EntryMatcher {
  public:
    EntryMatcher(const std::vector<Entry>& before, const std::vector<Entry>& after)
        : before_(before), after_(after) {}

    // True when the first `beforeCount` entries of `before` are all matched within the first
    // `afterCount` entries of `after`.
    bool matches(std::size_t beforeCount, std::size_t afterCount) {
        for (; next_ < beforeCount; ++next_) {
            if (isGameLibraryEntry(before_[next_])) {
                continue;
            }
            while (candidate_ < afterCount && !sameEntry(after_[candidate_], before_[next_])) {
                ++candidate_;
            }
            if (candidate_ == afterCount) {
                return false;
            }
            ++candidate_;
        }
        return true;
    }

  private:
    const std::vector<Entry>& before_;
    const std::vector<Entry>& after_;
    std::size_t next_ = 0;
    std::size_t candidate_ = 0;
};

bool readsAsAsked(const GameReading& before, const GameReading& after,
                  const RewrittenDescriptor& rewritten) {
    if (holdsALongWord(before) || holdsALongWord(after) || after.entries.empty()) {
        return false;
    }
    // The pair the new line forms: an old gamedll line that named the same library and hid
    // the new line from the game (behind a zero byte, say) does not count.
    const Entry& last = after.entries.back();
    const bool lastNamesTheLibrary = last.key.start == rewritten.gameLibraryLineStart &&
                                     isGameLibraryEntry(last) &&
                                     last.value.text == rewritten.gameLibraryValue;
    const bool onlyTheLastIsGamedll =
        std::none_of(after.entries.begin(), after.entries.end() - 1, isGameLibraryEntry);
    return lastNamesTheLibrary && onlyTheLastIsGamedll &&
           EntryMatcher(before.entries, after.entries)
               .matches(before.entries.size(), after.entries.size() - 1);
}

// How far one reading has got at an offset, for offsets that never decrease.
class ReadingCursor {
  public:
    explicit ReadingCursor(const GameReading& reading) : reading_(reading) {}

    void moveTo(std::size_t offset) {
        offset_ = offset;
        while (words_ < reading_.words.size() && reading_.words[words_].start < offset) {
            ++words_;
        }
        while (entries_ < reading_.entries.size() &&
               reading_.entries[entries_].key.start < offset) {
            readGameLibraryEntry_ =
                readGameLibraryEntry_ || isGameLibraryEntry(reading_.entries[entries_]);
            ++entries_;
        }
    }

    // The reading ended before the offset: nothing after it is read.
    bool stopped() const {
        return reading_.end != ReadingEnd::EndOfBytes && reading_.endOffset < offset_;
    }

    // The next word read is a key, and starts at or after the offset.
    bool atKey() const {
        return words_ % 2 == 0 && (words_ == 0 || reading_.words[words_ - 1].end <= offset_);
    }

    std::size_t entriesRead() const { return entries_; }

    bool readGameLibraryEntry() const { return readGameLibraryEntry_; }

  private:
    const GameReading& reading_;
    std::size_t offset_ = 0;
    std::size_t words_ = 0;
    std::size_t entries_ = 0;
    bool readGameLibraryEntry_ = false;
};

using Lines = std::vector<LineFate>;

// A line's text in the current descriptor, without its line end.
std::string_view textOf(std::string_view current, const LineFate& line) {
    return current.substr(line.start, line.end - line.start);
}

// The line number of the first line whose end lies after `offset` in the rewritten descriptor.
int lineHoldingRewrittenOffset(const Lines& lines, std::size_t offset) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].replaced && lines[i].rewrittenEnd > offset) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

// The line after the last line end at which both readings agree and are at rest: each at the
// start of a key, neither inside a word; the rewritten one read on, read no gamedll entry, and
// read every entry read from the current one so far. (The current one may rest inside a
// comment, or have stopped: nothing it reads after that needs to be read again.) From that
// line on they never agree again; it is the line to mend. Zero when they agree at the end.
int firstLineToMend(const Lines& lines, const GameReading& before, const GameReading& after) {
    ReadingCursor beforeCursor(before);
    ReadingCursor afterCursor(after);
    EntryMatcher matcher(before.entries, after.entries);
    std::size_t lastAgreement = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        beforeCursor.moveTo(lines[i].next);
        afterCursor.moveTo(lines[i].rewrittenEnd);
        const bool beforeAtRest = beforeCursor.stopped() || beforeCursor.atKey();
        const bool afterAtRest =
            !afterCursor.stopped() && afterCursor.atKey() && !afterCursor.readGameLibraryEntry();
        if (beforeAtRest && afterAtRest &&
            matcher.matches(beforeCursor.entriesRead(), afterCursor.entriesRead())) {
            lastAgreement = i + 1;
        }
    }
    return lastAgreement == lines.size() ? 0 : static_cast<int>(lastAgreement) + 1;
}

// Every word of the line, read on its own, past an empty key too.
std::vector<Word> wordsOf(std::string_view text) {
    std::vector<Word> words;
    WordScanner scanner(text);
    while (const std::optional<Word> word = scanner.next()) {
        words.push_back(*word);
    }
    return words;
}

std::vector<std::string> textsOf(const std::vector<Word>& words) {
    std::vector<std::string> texts;
    texts.reserve(words.size());
    for (const Word& word : words) {
        texts.emplace_back(word.text);
    }
    return texts;
}

// What on the line, read on its own, makes the game read the descriptor wrongly.
RefusalReason reasonOnLine(std::string_view text, bool replaced) {
    const std::vector<Word> words = wordsOf(text);
    if (!replaced && text.find('\0') != std::string_view::npos) {
        return RefusalReason::ZeroByte;
    }
    if (!words.empty() && !words.back().closed) {
        return RefusalReason::UnclosedQuote;
    }
    if (replaced) {
        // Velmora drops the whole line, which must hold gamedll and its value alone.
        if (words.size() == 1) {
            return RefusalReason::GamedllValueOnNextLine;
        }
        return words.size() == 2 ? RefusalReason::Unexplained : RefusalReason::GamedllSharesLine;
    }
    const GameReading alone = readAsTheGame(text);
    if (alone.end == ReadingEnd::EmptyKey) {
        return RefusalReason::EmptyKey;
    }
    if (holdsALongWord(alone)) {
        return RefusalReason::LongWord;
    }
    if (std::any_of(alone.entries.begin(), alone.entries.end(), isGameLibraryEntry)) {
        return RefusalReason::GamedllSharesLine;
    }
    if (words.size() % 2 == 1) {
        return words.size() == 1 ? RefusalReason::KeyWithoutValue : RefusalReason::UnpairedWords;
    }
    return RefusalReason::Unexplained;
}

Refusal refusalFor(RefusalReason reason, std::string_view current, const Lines& lines, int line) {
    Refusal refusal;
    refusal.reason = reason;
    if (line < 1 || static_cast<std::size_t>(line) > lines.size()) {
        return refusal;
    }
    const LineFate& named = lines[static_cast<std::size_t>(line) - 1];
    refusal.line = line;
    refusal.lineText = std::string(textOf(current, named));
    refusal.words = textsOf(wordsOf(refusal.lineText));
    refusal.lineIsReplaced = named.replaced;
    return refusal;
}

Refusal explain(std::string_view current, const RewrittenDescriptor& rewritten,
                const GameReading& before, const GameReading& after) {
    const Lines& lines = rewritten.lines;
    if (const Word* word = firstLongWord(before)) {
        return refusalFor(RefusalReason::LongWord, current, lines, word->line);
    }
    if (const Word* word = firstLongWord(after)) {
        return refusalFor(RefusalReason::LongWord, current, lines,
                          lineHoldingRewrittenOffset(lines, word->start));
    }
    const int line = firstLineToMend(lines, before, after);
    if (line == 0) {
        return refusalFor(RefusalReason::Unexplained, current, lines, 0);
    }
    const LineFate& named = lines[static_cast<std::size_t>(line) - 1];
    return refusalFor(reasonOnLine(textOf(current, named), named.replaced), current, lines, line);
}

}  // namespace

std::optional<Refusal> checkRewrite(std::string_view current,
                                    const RewrittenDescriptor& rewritten) {
    if (isSavedAsUtf16(current)) {
        Refusal refusal;
        refusal.reason = RefusalReason::SavedAsUnicode;
        return refusal;
    }
    if (current.size() > kLargestDescriptor) {
        Refusal refusal;
        refusal.reason = RefusalReason::TooLargeAlready;
        return refusal;
    }
    if (rewritten.bytes.size() > kLargestDescriptor) {
        Refusal refusal;
        refusal.reason = RefusalReason::TooLarge;
        refusal.size = rewritten.bytes.size();
        return refusal;
    }
    const GameReading before = readAsTheGame(current);
    const GameReading after = readAsTheGame(rewritten.bytes);
    if (readsAsAsked(before, after, rewritten)) {
        return std::nullopt;
    }
    return explain(current, rewritten, before, after);
}

}  // namespace velmora
