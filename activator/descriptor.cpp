#include "descriptor.h"

#include "game_reader.h"

namespace velmora {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string_view withoutTrailingNuls(std::string_view bytes) {
    const std::size_t last = bytes.find_last_not_of('\0');
    return bytes.substr(0, last == std::string_view::npos ? 0 : last + 1);
}

// Calls `visit` with each line, in order.
template <typename Visit>
void forEachLine(std::string_view descriptor, Visit visit) {
    descriptor = withoutTrailingNuls(descriptor);
    std::size_t start = 0;
    while (start < descriptor.size()) {
        const DescriptorLine line = lineStartingAt(descriptor, start);
        visit(line);
        start = line.next;
    }
}

}  // namespace

bool isGameLibraryLine(std::string_view line) {
    const std::optional<Word> first = WordScanner(line).next();
    return first && isGameLibraryKey(first->text);
}

std::string gameLibraryValue(std::string_view library) {
    std::string value = "dlls\\";
    value += library;
    return value;
}

std::string gameLibraryLine(std::string_view library) {
    return "gamedll \"" + gameLibraryValue(library) + '"';
}

std::vector<DescriptorLine> descriptorLines(std::string_view descriptor) {
    std::vector<DescriptorLine> lines;
    forEachLine(descriptor, [&](const DescriptorLine& line) { lines.push_back(line); });
    return lines;
}

KeptText keepOrdinaryLines(std::string_view descriptor) {
    KeptText kept;
    forEachLine(descriptor, [&](const DescriptorLine& line) {
        if (isGameLibraryLine(line.text)) {
            return;
        }
        if (kept.hasLines) {
            kept.text += kLineEnd;
        }
        kept.text += line.text;
        kept.hasLines = true;
    });
    return kept;
}

RewrittenDescriptor rewrittenDescriptor(const KeptText& kept, std::string_view library) {
    RewrittenDescriptor rewritten;
    std::string& bytes = rewritten.bytes;
    bytes.reserve(kept.text.size() + library.size() + 32);
    if (kept.hasLines) {
        bytes += kept.text;
        bytes += kLineEnd;
        // No kept line holds a CR or an LF: each LF in the kept text ends one of them, the
        // second byte of its CR LF.
        for (std::size_t end = bytes.find('\n'); end != std::string::npos;
             end = bytes.find('\n', end + 1)) {
            rewritten.keptLineEnds.push_back(end + 1);
        }
    }
    rewritten.gameLibraryLineStart = bytes.size();
    rewritten.gameLibraryValue = gameLibraryValue(library);
    bytes += gameLibraryLine(library);
    bytes += kLineEnd;
    return rewritten;
}

}  // namespace velmora
