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
constexpr std::string_view kNotChanged = "liblist.gam was not changed.";
constexpr std::string_view kTryAgain = ", and try again.";
constexpr std::string_view kPairs =
    "The game reads liblist.gam as pairs of words, each a setting and its value";
constexpr std::string_view kOneWordOff =
    " and read every setting after it one word off, so it would not find its game library.";

// A line in a box stays short; a longer one is cut.
constexpr std::size_t kLongestShownLine = 80;
constexpr std::size_t kMostShownWords = 12;

NativeString ascii(std::string_view text) {
    return nativeFromAscii(text);
}

NativeString decimal(std::size_t value) {
    std::string digits = std::to_string(value);
    for (std::size_t at = digits.size(); at > 3; at -= 3) {
        digits.insert(at - 3, ",");
    }
    return ascii(digits);
}

// Bytes as the box shows them: a zero byte as <NUL>, other control bytes as the blanks the
// game takes them for.
NativeString shown(std::string_view bytes) {
    NativeString text;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && static_cast<unsigned char>(bytes[i]) >= 0x20) {
            continue;
        }
        text += textOfDescriptorBytes(bytes.substr(start, i - start));
        if (i < bytes.size()) {
            text += ascii(bytes[i] == '\0' ? "<NUL>" : " ");
        }
        start = i + 1;
    }
    return text;
}

NativeString shownLine(std::string_view bytes) {
    NativeString text = shown(bytes);
    if (text.size() > kLongestShownLine) {
        text.resize(kLongestShownLine);
        text += ascii("...");
    }
    return ascii("    ") + text;
}

// "a, b and c", or the first few of many.
NativeString wordList(const std::vector<std::string>& words) {
    NativeString list;
    const std::size_t count = std::min(words.size(), kMostShownWords);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) {
            list += ascii(i + 1 == words.size() ? " and " : ", ");
        }
        list += shown(words[i]);
    }
    if (count < words.size()) {
        list += ascii(", ...");
    }
    return list;
}

// The line with its value in quotes, as an example of the mend: for a line without quotes.
std::optional<NativeString> quotedExample(std::string_view line, std::string_view key) {
    const std::size_t keyAt = line.find(key);
    if (line.find('"') != std::string_view::npos || keyAt == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view value = line.substr(keyAt + key.size());
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!value.empty() && isBlank(value.front())) {
        value.remove_prefix(1);
    }
    while (!value.empty() && isBlank(value.back())) {
        value.remove_suffix(1);
    }
    return shown(key) + ascii(" \"") + shown(value) + ascii("\"");
}

NativeString lineNumber(const Refusal& refusal) {
    return ascii("line ") + decimal(static_cast<std::size_t>(refusal.line));
}

// "Line 3 <headline>:", the line itself, then what the game would make of it and the mend.
NativeString aboutTheLine(const Refusal& refusal, std::string_view headline,
                          const NativeString& explanation, const NativeString& mend) {
    NativeString text = ascii(kNotChanged) + ascii(kParagraph);
    text += ascii("Line ") + decimal(static_cast<std::size_t>(refusal.line)) + ascii(" ");
    text += ascii(headline) + ascii(":\r\n") + shownLine(refusal.lineText) + ascii(kParagraph);
    return text + explanation + ascii(kParagraph) + mend + ascii(kTryAgain);
}

NativeString unpairedWords(const Refusal& refusal) {
    const std::string& last = refusal.words.back();
    NativeString explanation = ascii(kPairs);
    explanation += ascii("; brackets, commas and apostrophes count as words of their own. ");
    explanation += ascii("On this line it reads ") + decimal(refusal.words.size()) +
                   ascii(" words, ") + wordList(refusal.words) +
                   ascii(". It would pair the last ") + ascii("one, ") + shown(last) +
                   ascii(", with the next word,") + ascii(kOneWordOff);
    NativeString mend =
        ascii("Put each value that holds blanks, brackets, commas or apostrophes in double quotes");
    if (const auto example = quotedExample(refusal.lineText, refusal.words.front())) {
        mend += ascii(", such as ") + *example;
    }
    return aboutTheLine(refusal, "holds words that do not pair up", explanation, mend);
}

NativeString keyWithoutValue(const Refusal& refusal) {
    const NativeString key = shown(refusal.words.front());
    const NativeString explanation = ascii(kPairs) + ascii(". It would take the next word as ") +
                                     ascii("the value of ") + key + ascii(",") + ascii(kOneWordOff);
    const NativeString mend = ascii("Give ") + key + ascii(" a value on the same line, such as ") +
                              key + ascii(" \"\", or remove ") + lineNumber(refusal);
    return aboutTheLine(refusal, "holds a setting without a value", explanation, mend);
}

NativeString gamedllSharesLine(const Refusal& refusal) {
    const std::string_view explanation =
        refusal.lineIsReplaced
            ? "Velmora replaces the whole of a line that starts with gamedll, so the game would "
              "no longer read the rest of this line."
            : "Velmora replaces only lines that start with gamedll. The game would read the "
              "gamedll on this line as well, and load that game library too.";
    return aboutTheLine(refusal, "holds gamedll together with other words", ascii(explanation),
                        ascii("Put gamedll and its value on a line of their own, and each other "
                              "setting on its own line"));
}

NativeString aboutTheWholeFile(std::string_view reason, std::string_view mend) {
    return ascii(kNotChanged) + ascii(kParagraph) + ascii(reason) + ascii(kParagraph) +
           ascii(mend) + ascii(kTryAgain);
}

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
    switch (refusal.reason) {
        case RefusalReason::TooLarge:
            return ascii(kNotChanged) + ascii(kParagraph) + ascii("It would hold ") +
                   decimal(refusal.size) +
                   ascii(" bytes, and the game does not start with a liblist.gam of more than ") +
                   decimal(kLargestDescriptor) + ascii(" bytes.") + ascii(kParagraph) +
                   ascii("Remove what does not belong in liblist.gam") + ascii(kTryAgain);
        case RefusalReason::ChangedWhileSaving:
            return aboutTheWholeFile(
                "Another program changed it each time Velmora was about to save it.",
                "Close the programs that may be writing liblist.gam, such as the game or a text "
                "editor");
        case RefusalReason::ZeroByte:
            return aboutTheLine(refusal, "holds a zero byte (shown as <NUL>)",
                                ascii("The game stops reading liblist.gam at a zero byte, so it "
                                      "would not read the rest of the file, nor the new gamedll "
                                      "line at its end."),
                                ascii("Remove the zero byte with a text editor"));
        case RefusalReason::EmptyKey:
            return aboutTheLine(refusal, "holds a setting named by an empty word (\"\")",
                                ascii("The game stops reading liblist.gam at a setting without a "
                                      "name, so it would not read the rest of the file, nor the "
                                      "new gamedll line at its end."),
                                ascii("Remove the empty quotes, or give the setting a name"));
        case RefusalReason::UnclosedQuote:
            return aboutTheLine(refusal, "opens a quote that it does not close",
                                ascii("The game reads everything after an opening quote as one "
                                      "value, up to the next quote, across line ends, so it would "
                                      "take what follows, the new gamedll line included, as part "
                                      "of that value."),
                                ascii("Add the closing quote (\") at the end of the value on ") +
                                    lineNumber(refusal));
        case RefusalReason::KeyWithoutValue:
            if (refusal.words.empty()) {
                break;
            }
            return keyWithoutValue(refusal);
        case RefusalReason::UnpairedWords:
            if (refusal.words.empty()) {
                break;
            }
            return unpairedWords(refusal);
        case RefusalReason::GamedllSharesLine:
            return gamedllSharesLine(refusal);
        case RefusalReason::GamedllValueOnNextLine:
            return aboutTheLine(
                refusal, "holds gamedll, but its value is on the next line",
                ascii("Velmora replaces the line that starts with gamedll and would leave the "
                      "value behind on a line of its own. The game would read that value as the "
                      "name of a setting,") +
                    ascii(kOneWordOff),
                ascii("Put gamedll and its value on one line, such as gamedll \"dlls\\hl.dll\""));
        case RefusalReason::LongWord:
            return aboutTheLine(refusal, "holds a word longer than 1,023 bytes",
                                ascii("The game splits such a word in two, and Velmora cannot tell "
                                      "how it would then read the file."),
                                ascii("Shorten the word, or remove the line"));
        case RefusalReason::Unexplained:
            break;
    }
    if (refusal.line == 0) {
        return aboutTheWholeFile(
            "The game would not read the new gamedll line as its game library.",
            "Make each line of liblist.gam hold one setting and its value");
    }
    return aboutTheLine(refusal, "is where the game would start to read liblist.gam differently",
                        ascii("It would not read the new gamedll line as its game library."),
                        ascii("Make each line of liblist.gam hold one setting and its value"));
}

}  // namespace velmora
