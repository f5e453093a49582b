// Feeds arbitrary bytes to the descriptor rewrite and its check, and holds them against
// references written apart from the product's code:
// - the lines: ordinary lines come back byte for byte and in order, exactly one game-library
//   line stands last, every line ends with CR LF, and rewriting the result again changes
//   nothing;
// - the game: a model of how the game reads a descriptor. Its reading of every input and of
//   every result must be the product's reader's. Whatever the check lets through, the model
//   must read as one gamedll entry naming the library asked for, last, with every other entry
//   of the input still there in order; whatever it refuses, it must name a line and a reason.
//   A descriptor whose every line holds one key and its value is never refused;
// - Unicode: a descriptor saved as UTF-16, and only such a one, is refused as that.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "descriptor.h"
#include "descriptor_check.h"
#include "game_reader.h"

namespace {

void require(bool holds) {
    if (!holds) {
        __builtin_trap();
    }
}

// Splits at CR LF, lone CR and lone LF, one byte at a time; a final line end starts no line.
std::vector<std::string> referenceLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string current;
    bool open = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
            continue;
        }
        current += c;
        open = true;
    }
    if (open) {
        lines.push_back(current);
    }
    return lines;
}

std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

struct ModelWord {
    std::string text;
    bool openQuote = false;  // a quote that ran to the end
};

// The game's reader, one byte at a time: it stops at the first NUL byte; bytes 1 to 0x20
// separate words; "//" where a word would start comments out everything up to the next LF;
// a double quote starts a word that runs to the next one; each of { } ( ) ' , is a word; any
// other byte starts a word that runs up to a separator or one of those.
std::vector<ModelWord> modelWords(std::string_view bytes) {
    const auto isSeparator = [](char c) {
        return c != '\0' && static_cast<unsigned char>(c) <= 0x20;
    };
    const auto isSingle = [](char c) {
        return std::string_view("{}()',").find(c) != std::string_view::npos;
    };
    std::vector<ModelWord> words;
    std::size_t i = 0;
    const auto at = [&](std::size_t k) { return k < bytes.size() ? bytes[k] : '\0'; };
    for (;;) {
        while (isSeparator(at(i))) {
            ++i;
        }
        if (at(i) == '\0') {
            return words;
        }
        if (at(i) == '/' && at(i + 1) == '/') {
            while (at(i) != '\0' && at(i) != '\n') {
                ++i;
            }
            continue;
        }
        ModelWord word;
        if (at(i) == '"') {
            ++i;
            while (at(i) != '\0' && at(i) != '"') {
                word.text += at(i++);
            }
            word.openQuote = at(i) != '"';
            if (!word.openQuote) {
                ++i;
            }
        } else if (isSingle(at(i))) {
            word.text = at(i++);
        } else {
            while (at(i) != '\0' && !isSeparator(at(i)) && !isSingle(at(i))) {
                word.text += at(i++);
            }
        }
        words.push_back(word);
    }
}

struct ModelReading {
    std::vector<std::pair<std::string, std::string>> entries;
    bool longWord = false;
};

// Pairs the words as key and value; an empty key ends the reading.
ModelReading modelReading(std::string_view bytes) {
    ModelReading reading;
    const std::vector<ModelWord> words = modelWords(bytes);
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i % 2 == 0 && words[i].text.empty()) {
            break;
        }
        reading.longWord = reading.longWord || words[i].text.size() > 1023;
        if (i % 2 == 1) {
            reading.entries.emplace_back(words[i - 1].text, words[i].text);
        }
    }
    return reading;
}

void sameReading(std::string_view bytes) {
    const velmora::GameReading product = velmora::readAsTheGame(bytes);
    const ModelReading model = modelReading(bytes);
    require(product.entries.size() == model.entries.size());
    for (std::size_t i = 0; i < model.entries.size(); ++i) {
        require(product.entries[i].key.text == model.entries[i].first);
        require(product.entries[i].value.text == model.entries[i].second);
    }
}

// The rule as stated: the first word the game reads on the line (which it reads up to its
// first zero byte), after leading bytes 0x01 to 0x20, is "gamedll" in any letter case; a
// quoted word runs to its closing quote, any other to a byte up to 0x20 or to one of
// { } ( ) ' , (which the game reads as words of their own).
bool namesTheWindowsLibrary(const std::string& wholeLine) {
    const std::string line = wholeLine.substr(0, wholeLine.find('\0'));
    std::string blanks;
    for (char c = 1; c <= 0x20; ++c) {
        blanks += c;
    }
    const std::size_t start = line.find_first_not_of(blanks);
    if (start == std::string::npos) {
        return false;
    }
    std::string word;
    if (line[start] == '"') {
        word = line.substr(start + 1, line.find('"', start + 1) - start - 1);
    } else {
        word = line.substr(start, line.find_first_of(blanks + "{}()',", start) - start);
    }
    return lowerCase(word) == "gamedll";
}

std::string_view withoutTrailingNuls(std::string_view bytes) {
    while (!bytes.empty() && bytes.back() == '\0') {
        bytes.remove_suffix(1);
    }
    return bytes;
}

// Every line holds nothing, or one key and its value, with every quote closed; no NUL hides
// a part of it, no key is empty and no word is too long for the game to read whole.
bool eachLineHoldsAtMostOneEntry(std::string_view input) {
    const std::string_view read = withoutTrailingNuls(input);
    if (read.find('\0') != std::string_view::npos) {
        return false;
    }
    for (const std::string& line : referenceLines(read)) {
        const std::vector<ModelWord> words = modelWords(line);
        const auto badWord = [](const ModelWord& w) { return w.openQuote || w.text.size() > 1023; };
        if ((!words.empty() && (words.size() != 2 || words[0].text.empty())) ||
            std::any_of(words.begin(), words.end(), badWord)) {
            return false;
        }
        // A key the game reads as gamedll where the line rule sees another first word
        // ("gamedll'"): the line stays, and the game would read two.
        if (!words.empty() && lowerCase(words[0].text) == "gamedll" &&
            !namesTheWindowsLibrary(line)) {
            return false;
        }
    }
    return true;
}

void checkLines(std::string_view input, const std::string& output, std::string_view library) {
    // Every line ends with CR LF: no lone CR or LF anywhere.
    require(output.size() >= 2 && output.ends_with("\r\n"));
    for (std::size_t i = 0; i < output.size(); ++i) {
        if (output[i] == '\r') {
            require(i + 1 < output.size() && output[i + 1] == '\n');
        } else if (output[i] == '\n') {
            require(i > 0 && output[i - 1] == '\r');
        }
    }

    std::vector<std::string> expected;
    for (const std::string& line : referenceLines(withoutTrailingNuls(input))) {
        if (!namesTheWindowsLibrary(line)) {
            expected.push_back(line);
        }
    }
    expected.push_back(velmora::gameLibraryLine(library));
    require(referenceLines(output) == expected);

    require(velmora::rewrittenDescriptor(velmora::keepOrdinaryLines(output), library).bytes ==
            output);
}

void checkWhatTheGameReads(std::string_view input, const std::string& output,
                           std::string_view library) {
    const ModelReading before = modelReading(input);
    const ModelReading after = modelReading(output);
    require(output.size() <= 262'144 && !before.longWord && !after.longWord);
    require(!after.entries.empty());
    require(after.entries.back() ==
            std::make_pair(std::string("gamedll"), "dlls\\" + std::string(library)));
    for (std::size_t i = 0; i + 1 < after.entries.size(); ++i) {
        require(lowerCase(after.entries[i].first) != "gamedll");
    }
    std::size_t found = 0;
    for (const auto& entry : before.entries) {
        if (lowerCase(entry.first) == "gamedll") {
            continue;
        }
        while (found + 1 < after.entries.size() && after.entries[found] != entry) {
            ++found;
        }
        require(found + 1 < after.entries.size());
        ++found;
    }
}

// A UTF-16 byte-order mark first, or, in the first four characters (at least two), zero
// bytes in every other place and nowhere else.
bool looksLikeUtf16(std::string_view input) {
    if (input.starts_with("\xFF\xFE") || input.starts_with("\xFE\xFF")) {
        return true;
    }
    const std::size_t characters = std::min<std::size_t>(input.size() / 2, 4);
    std::string zeros;  // '0' for a zero byte, 'x' for any other
    for (std::size_t i = 0; i < characters * 2; ++i) {
        zeros += input[i] == '\0' ? '0' : 'x';
    }
    return characters >= 2 && (zeros == std::string("x0x0x0x0").substr(0, zeros.size()) ||
                               zeros == std::string("0x0x0x0x").substr(0, zeros.size()));
}

void checkTheRefusal(std::string_view input, const velmora::Refusal& refusal) {
    require(refusal.reason != velmora::RefusalReason::Unexplained);
    if (refusal.reason == velmora::RefusalReason::TooLarge) {
        return;
    }
    const std::vector<std::string> lines = referenceLines(withoutTrailingNuls(input));
    require(refusal.line >= 1 && static_cast<std::size_t>(refusal.line) <= lines.size());
    require(refusal.lineText == lines[static_cast<std::size_t>(refusal.line) - 1]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view library = size % 2 == 0 ? "qox_bot.dll" : "hl.dll";
    const velmora::RewrittenDescriptor rewritten =
        velmora::rewrittenDescriptor(velmora::keepOrdinaryLines(input), library);
    const std::string& output = rewritten.bytes;
    checkLines(input, output, library);
    sameReading(input);
    sameReading(output);
    const std::optional<velmora::Refusal> refusal = velmora::checkRewrite(input, rewritten);
    const bool refusedAsUnicode =
        refusal && refusal->reason == velmora::RefusalReason::SavedAsUnicode;
    require(refusedAsUnicode == looksLikeUtf16(input));
    if (refusedAsUnicode) {
        require(refusal->line == 0);
    } else if (refusal) {
        require(!eachLineHoldsAtMostOneEntry(input));
        checkTheRefusal(input, *refusal);
    } else {
        checkWhatTheGameReads(input, output, library);
    }
    return 0;
}
