#include "descriptor.h"

namespace velmora {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kGameLibraryKey = "gamedll";

// The game separates words at every byte up to 0x20; NUL ends its reading instead.
bool separatesWords(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte != 0 && byte <= 0x20;
}

bool endsWord(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(std::string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (asciiLower(text[i]) != lower[i]) {
            return false;
        }
    }
    return true;
}

std::string_view withoutTrailingNuls(std::string_view bytes) {
    const std::size_t last = bytes.find_last_not_of('\0');
    return bytes.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

// Length of the line end at the start of `rest`: 2 for CR LF, 1 for a lone CR or LF, else 0.
std::size_t lineEndLength(std::string_view rest) {
    if (rest.starts_with(kLineEnd)) {
        return 2;
    }
    return rest.starts_with('\r') || rest.starts_with('\n') ? 1 : 0;
}

// The line's first word, read as the game reads a key.
std::string_view firstWord(std::string_view line) {
    std::size_t start = 0;
    while (start < line.size() && separatesWords(line[start])) {
        ++start;
    }
    line.remove_prefix(start);
    if (line.starts_with('"')) {
        line.remove_prefix(1);
        return line.substr(0, line.find('"'));
    }
    std::size_t end = 0;
    while (end < line.size() && !endsWord(line[end])) {
        ++end;
    }
    return line.substr(0, end);
}

}  // namespace

bool isGameLibraryLine(std::string_view line) {
    return equalsIgnoringAsciiCase(firstWord(line), kGameLibraryKey);
}

std::string gameLibraryLine(std::string_view library) {
    std::string line(kGameLibraryKey);
    line += " \"dlls\\";
    line += library;
    line += '"';
    return line;
}

KeptText keepOrdinaryLines(std::string_view descriptor) {
    KeptText kept;
    descriptor = withoutTrailingNuls(descriptor);
    while (!descriptor.empty()) {
        const std::size_t end = descriptor.find_first_of("\r\n");
        const std::string_view line = descriptor.substr(0, end);
        descriptor.remove_prefix(line.size());
        descriptor.remove_prefix(lineEndLength(descriptor));
        if (isGameLibraryLine(line)) {
            continue;
        }
        if (kept.hasLines) {
            kept.text += kLineEnd;
        }
        kept.text += line;
        kept.hasLines = true;
    }
    return kept;
}

std::string rewrittenDescriptor(const KeptText& kept, std::string_view library) {
    std::string bytes;
    bytes.reserve(kept.text.size() + library.size() + 32);
    if (kept.hasLines) {
        bytes += kept.text;
        bytes += kLineEnd;
    }
    bytes += gameLibraryLine(library);
    bytes += kLineEnd;
    return bytes;
}

}  // namespace velmora
