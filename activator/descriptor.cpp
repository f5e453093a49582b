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

KeptText keepOrdinaryLines(std::string_view descriptor) {
    KeptText kept;
    forEachLine(descriptor, [&](const DescriptorLine& line) {
        const bool replaced = isGameLibraryLine(line.text);
        kept.lines.push_back(
            LineFate{line.start, line.start + line.text.size(), line.next, replaced});
        if (replaced) {
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
    }
    // Each kept line is written as it was, followed by CR LF.
    rewritten.lines = kept.lines;
    std::size_t end = 0;
    for (LineFate& fate : rewritten.lines) {
        if (!fate.replaced) {
            end += fate.end - fate.start + kLineEnd.size();
        }
        fate.rewrittenEnd = end;
    }
    rewritten.gameLibraryLineStart = bytes.size();
    rewritten.gameLibraryValue = gameLibraryValue(library);
    bytes += gameLibraryLine(library);
    bytes += kLineEnd;
    return rewritten;
}

}  // namespace velmora
