#include "descriptor.h"

namespace velmora {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// Length of the line end at the start of `rest`: 2 for CR LF, 1 for a lone CR or LF, else 0.
std::size_t lineEndLength(std::string_view rest) {
    if (rest.starts_with(kLineEnd)) {
        return 2;
    }
    return rest.starts_with('\r') || rest.starts_with('\n') ? 1 : 0;
}

}  // namespace

bool isGameLibraryLine(std::string_view line) {
    return contains(line, "gamedll") && !contains(line, "_linux") && !contains(line, "_osx");
}

std::string gameLibraryLine(std::string_view library) {
    std::string line = "gamedll \"dlls\\";
    line += library;
    line += '"';
    return line;
}

KeptText keepOrdinaryLines(std::string_view descriptor) {
    KeptText kept;
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
