// Feeds arbitrary bytes to the descriptor rewrite and checks what must hold for every
// descriptor: the ordinary lines come back byte for byte and in order, exactly one
// game-library line stands last, every line ends with CR LF, and rewriting the result
// again changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
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

bool namesTheWindowsLibrary(const std::string& line) {
    const auto has = [&](const char* part) { return line.find(part) != std::string::npos; };
    return has("gamedll") && !has("_linux") && !has("_osx");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::string_view library = size % 2 == 0 ? "qox_bot.dll" : "hl.dll";
    const std::string output =
        velmora::rewrittenDescriptor(velmora::keepOrdinaryLines(input), library);

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
    for (const std::string& line : referenceLines(input)) {
        if (!namesTheWindowsLibrary(line)) {
            expected.push_back(line);
        }
    }
    expected.push_back(velmora::gameLibraryLine(library));
    require(referenceLines(output) == expected);

    require(velmora::rewrittenDescriptor(velmora::keepOrdinaryLines(output), library) == output);
    return 0;
}
