// Feeds arbitrary bytes to the descriptor rewrite and checks it against two references:
// - the lines: ordinary lines come back byte for byte and in order, exactly one game-library
//   line stands last, every line ends with CR LF, and rewriting the result again changes
//   nothing;
// - the game: a small model of how the game reads a descriptor must see the old entries
//   without their gamedll keys, then exactly one gamedll entry, naming the library asked for.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "descriptor.h"

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

// The game's reader: it stops at the first NUL byte; every byte up to 0x20 separates words;
// "//" at the start of a word comments out the rest of the line; a word that opens with a
// double quote runs to the closing quote. `quoteLeftOpen` tells whether the last one had none.
std::vector<std::string> gameWords(std::string_view bytes, bool* quoteLeftOpen = nullptr) {
    bytes = bytes.substr(0, bytes.find('\0'));
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::vector<std::string> words;
    std::size_t i = 0;
    for (;;) {
        while (i < bytes.size() && isBlank(bytes[i])) {
            ++i;
        }
        if (i == bytes.size()) {
            break;
        }
        if (bytes.substr(i).starts_with("//")) {
            while (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n') {
                ++i;
            }
            continue;
        }
        if (bytes[i] == '"') {
            const std::size_t close = std::min(bytes.find('"', i + 1), bytes.size());
            words.emplace_back(bytes.substr(i + 1, close - i - 1));
            if (quoteLeftOpen != nullptr) {
                *quoteLeftOpen = close == bytes.size();
            }
            i = std::min(close + 1, bytes.size());
            continue;
        }
        const std::size_t start = i;
        while (i < bytes.size() && !isBlank(bytes[i])) {
            ++i;
        }
        words.emplace_back(bytes.substr(start, i - start));
        if (quoteLeftOpen != nullptr) {
            *quoteLeftOpen = false;
        }
    }
    return words;
}

std::string lowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// The words paired up as key (in any letter case, so kept in lower case) and value.
using Entries = std::vector<std::pair<std::string, std::string>>;

Entries gameEntries(std::string_view bytes) {
    const std::vector<std::string> words = gameWords(bytes);
    Entries entries;
    for (std::size_t i = 0; i + 1 < words.size(); i += 2) {
        entries.emplace_back(lowerCase(words[i]), words[i + 1]);
    }
    return entries;
}

// The rule as stated: the first word, after leading bytes 0x01 to 0x20, is "gamedll" in any
// letter case; a quoted word runs to its closing quote, any other to a byte up to 0x20.
bool namesTheWindowsLibrary(const std::string& line) {
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
        word = line.substr(start, line.find_first_of(blanks + '\0', start) - start);
    }
    return lowerCase(word) == "gamedll";
}

std::string_view withoutTrailingNuls(std::string_view bytes) {
    while (!bytes.empty() && bytes.back() == '\0') {
        bytes.remove_suffix(1);
    }
    return bytes;
}

// The game's view is comparable line by line when it reads the whole descriptor (no NUL
// hides a part of it) and every line holds nothing, or one key and its value, with every
// quote closed (a quote left open runs on into the next lines).
bool eachLineHoldsAtMostOneEntry(std::string_view input) {
    const std::string_view read = withoutTrailingNuls(input);
    if (read.find('\0') != std::string_view::npos) {
        return false;
    }
    for (const std::string& line : referenceLines(read)) {
        bool quoteLeftOpen = false;
        const std::vector<std::string> words = gameWords(line, &quoteLeftOpen);
        if ((!words.empty() && words.size() != 2) || quoteLeftOpen) {
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

    require(velmora::rewrittenDescriptor(velmora::keepOrdinaryLines(output), library) == output);
}

void checkWhatTheGameReads(std::string_view input, const std::string& output,
                           std::string_view library) {
    if (!eachLineHoldsAtMostOneEntry(input)) {
        return;
    }
    Entries expected;
    for (auto& entry : gameEntries(input)) {
        if (entry.first != "gamedll") {
            expected.push_back(std::move(entry));
        }
    }
    expected.emplace_back("gamedll", "dlls\\" + std::string(library));
    require(gameEntries(output) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view library = size % 2 == 0 ? "qox_bot.dll" : "hl.dll";
    const std::string output =
        velmora::rewrittenDescriptor(velmora::keepOrdinaryLines(input), library);
    checkLines(input, output, library);
    checkWhatTheGameReads(input, output, library);
    return 0;
}
