#include "error_text.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "game_reader.h"

namespace velmora {
namespace {

constexpr std::string_view kAccessDeniedHint =
    "This usually means that the file is read-only, that the game folder is protected "
    "(such as a folder under Program Files), or that another program is using the file.";

constexpr std::string_view kParagraph = "\r\n\r\n";

// A line in a box stays short; a longer one is cut.
constexpr std::size_t kLongestShownLine = 80;
constexpr std::size_t kMostShownWords = 12;

// What a refusal's box says. In the texts $n stands for the line's number, $k for its first
// word, $c for the number of its words, $w for the words themselves, $l for the last of them,
// $e for an example of the line with its value quoted (", such as ...", where there is one),
// $s for the size the descriptor would have, $m for the largest the game reads and $L for the
// longest word it reads whole; $P, $O and $S for the phrases below.
struct RefusalText {
    RefusalReason reason;
    std::string_view headline;  // about line $n, which is shown below it; empty for none
    std::string_view explanation;
    std::string_view mend;  // followed by ", and try again."
};

// Phrases that several texts share.
constexpr std::string_view kPairs =
    "The game reads liblist.gam as pairs of words, each a setting and its value";
constexpr std::string_view kOneWordOff =
    " and read every setting after it one word off, so it would not find its game library.";
constexpr std::string_view kStops =
    ", so it would not read the rest of the file, nor the new gamedll line at its end.";

constexpr RefusalText kRefusalTexts[] = {
    {RefusalReason::TooLarge, "",
     "It would hold $s bytes, and the game does not start with a liblist.gam of more than $m "
     "bytes.",
     "Remove what does not belong in liblist.gam"},
    {RefusalReason::TooLargeAlready, "",
     "It holds more than $m bytes, and the game does not start with a liblist.gam that large.",
     "Remove what does not belong in liblist.gam"},
    {RefusalReason::SavedAsUnicode, "",
     "It is saved as Unicode (UTF-16). The game cannot read that: it reads one byte per "
     "character, and stops at the first zero byte.",
     "Open liblist.gam in Notepad and save it with Save As, Encoding ANSI (or UTF-8)"},
    {RefusalReason::ChangedWhileSaving, "",
     "Another program changed it each time Velmora was about to save it.",
     "Close the programs that may be writing liblist.gam, such as the game or a text editor"},
    {RefusalReason::ZeroByte, "Line $n holds a zero byte (shown as <NUL>)",
     "The game stops reading liblist.gam at a zero byte$S",
     "Remove the zero byte with a text editor"},
    {RefusalReason::EmptyKey, "Line $n holds a setting named by an empty word (\"\")",
     "The game stops reading liblist.gam at a setting without a name$S",
     "Remove the empty quotes, or give the setting a name"},
    {RefusalReason::UnclosedQuote, "Line $n opens a quote that it does not close",
     "The game reads everything after an opening quote as one value, up to the next quote, "
     "across line ends, so it would take what follows, the new gamedll line included, as part "
     "of that value.",
     "Add the closing quote (\") at the end of the value on line $n"},
    {RefusalReason::KeyWithoutValue, "Line $n holds a setting without a value",
     "$P. It would take the next word as the value of $k,$O",
     "Give $k a value on the same line, such as $k \"\", or remove line $n"},
    {RefusalReason::UnpairedWords, "Line $n holds words that do not pair up",
     "$P; brackets, commas and apostrophes count as words of their own. On this line it reads "
     "$c words, $w. It would pair the last one, $l, with the next word,$O",
     "Put each value that holds blanks, brackets, commas or apostrophes in double quotes$e"},
    {RefusalReason::GamedllValueOnNextLine,
     "Line $n holds gamedll, but its value is on the next line",
     "Velmora replaces the line that starts with gamedll and would leave the value behind on a "
     "line of its own. The game would read that value as the name of a setting,$O",
     "Put gamedll and its value on one line, such as gamedll \"dlls\\hl.dll\""},
    {RefusalReason::LongWord, "Line $n holds a word longer than $L bytes",
     "The game splits such a word in two, and Velmora cannot tell how it would then read the "
     "file.",
     "Shorten the word, or remove the line"},
};

constexpr std::string_view kSharesLine = "Line $n holds gamedll together with other words";
constexpr std::string_view kSharesLineMend =
    "Put gamedll and its value on a line of their own, and each other setting on its own line";
constexpr std::string_view kReplacedLineShared =
    "Velmora replaces the whole of a line that starts with gamedll, so the game would no longer "
    "read the rest of this line.";
constexpr std::string_view kKeptLineShared =
    "Velmora replaces only lines that start with gamedll. The game would read the gamedll on "
    "this line as well, and load that game library too.";

constexpr RefusalText kUnexplained = {
    RefusalReason::Unexplained,
    "Line $n is where the game would start to read liblist.gam differently",
    "It would not read the new gamedll line as its game library.",
    "Make each line of liblist.gam hold one setting and its value"};

RefusalText textFor(const Refusal& refusal) {
    if (refusal.reason == RefusalReason::GamedllSharesLine) {
        return {refusal.reason, kSharesLine,
                refusal.lineIsReplaced ? kReplacedLineShared : kKeptLineShared, kSharesLineMend};
    }
    for (const RefusalText& text : kRefusalTexts) {
        if (text.reason == refusal.reason) {
            return text;
        }
    }
    return kUnexplained;
}

// Builds a box's text from ASCII texts and the descriptor's own bytes.
class BoxText {
  public:
    void ascii(std::string_view text) { text_.append(text.begin(), text.end()); }

    void number(std::size_t value) {
        std::string digits;
        for (int place = 0; place == 0 || value != 0; ++place, value /= 10) {
            if (place > 0 && place % 3 == 0) {
                digits.insert(digits.begin(), ',');
            }
            digits.insert(digits.begin(), static_cast<char>('0' + value % 10));
        }
        ascii(digits);
    }

    // A zero byte shows as <NUL>, other control bytes as the blanks the game takes them for.
    void bytes(std::string_view bytes) {
        std::size_t start = 0;
        for (std::size_t i = 0; i <= bytes.size(); ++i) {
            if (i < bytes.size() && static_cast<unsigned char>(bytes[i]) >= 0x20) {
                continue;
            }
            text_ += textOfDescriptorBytes(bytes.substr(start, i - start));
            if (i < bytes.size()) {
                ascii(bytes[i] == '\0' ? "<NUL>" : " ");
            }
            start = i + 1;
        }
    }

    void line(std::string_view bytes) {
        const std::size_t start = text_.size();
        this->bytes(bytes);
        if (text_.size() - start > kLongestShownLine) {
            text_.resize(characterStartAtOrBefore(text_, start + kLongestShownLine));
            ascii("...");
        }
    }

    // "a, b and c", or the first few of many.
    void words(const std::vector<std::string>& words) {
        const std::size_t count = std::min(words.size(), kMostShownWords);
        for (std::size_t i = 0; i < count; ++i) {
            if (i > 0) {
                ascii(i + 1 == words.size() ? " and " : ", ");
            }
            bytes(words[i]);
        }
        if (count < words.size()) {
            ascii(", ...");
        }
    }

    // The line with its value in quotes, as an example of the mend: for a line without quotes.
    void quotedExample(std::string_view line, std::string_view key) {
        const std::size_t keyAt = line.find(key);
        if (key.empty() || line.find('"') != std::string_view::npos ||
            keyAt == std::string_view::npos) {
            return;
        }
        std::string_view value = line.substr(keyAt + key.size());
        while (!value.empty() && separatesWords(value.front())) {
            value.remove_prefix(1);
        }
        while (!value.empty() && separatesWords(value.back())) {
            value.remove_suffix(1);
        }
        ascii(", such as ");
        bytes(key);
        ascii(" \"");
        bytes(value);
        ascii("\"");
    }

    // `text` with its placeholders filled in from `refusal`.
    void expand(std::string_view text, const Refusal& refusal) {
        const std::string_view first =
            refusal.words.empty() ? std::string_view() : std::string_view(refusal.words.front());
        const std::string_view last =
            refusal.words.empty() ? std::string_view() : std::string_view(refusal.words.back());
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] != '$' || i + 1 == text.size()) {
                text_ += static_cast<NativeChar>(text[i]);
                continue;
            }
            switch (text[++i]) {
                case 'n':
                    number(static_cast<std::size_t>(refusal.line));
                    break;
                case 'k':
                    bytes(first);
                    break;
                case 'c':
                    number(refusal.words.size());
                    break;
                case 'w':
                    words(refusal.words);
                    break;
                case 'l':
                    bytes(last);
                    break;
                case 'e':
                    quotedExample(refusal.lineText, first);
                    break;
                case 's':
                    number(refusal.size);
                    break;
                case 'P':
                    ascii(kPairs);
                    break;
                case 'O':
                    ascii(kOneWordOff);
                    break;
                case 'S':
                    ascii(kStops);
                    break;
                case 'm':
                    number(kLargestDescriptor);
                    break;
                case 'L':
                    number(kLongestWord);
                    break;
                default:  // no placeholder: shown as written
                    text_ += static_cast<NativeChar>('$');
                    text_ += static_cast<NativeChar>(text[i]);
                    break;
            }
        }
    }

    NativeString take() { return std::move(text_); }

  private:
    NativeString text_;
};

}  // namespace

NativeString describeFileError(const FileError& error) {
    const std::string_view action =
        error.op == FileOp::Read ? "Could not read " : "Could not save ";
    NativeString text = nativeFromAscii(action) + error.path + nativeFromAscii("\r\n\r\n");
    text += systemReason(error.code);
    if (isAccessDenied(error.code)) {
        text += nativeFromAscii("\r\n\r\n");
        text += nativeFromAscii(kAccessDeniedHint);
    }
    return text;
}

NativeString describeRefusal(const Refusal& refusal) {
    const RefusalText text = textFor(refusal);
    BoxText box;
    box.ascii("liblist.gam was not changed.");
    box.ascii(kParagraph);
    if (!text.headline.empty() && refusal.line != 0) {
        box.expand(text.headline, refusal);
        box.ascii(":\r\n    ");
        box.line(refusal.lineText);
        box.ascii(kParagraph);
    }
    box.expand(text.explanation, refusal);
    box.ascii(kParagraph);
    box.expand(text.mend, refusal);
    box.ascii(", and try again.");
    return box.take();
}

}  // namespace velmora
