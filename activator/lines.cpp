#include "lines.h"

namespace velmora {
namespace {

// Length of the line end at the start of `rest`: 2 for CR LF, 1 for a lone CR or LF, else 0.
std::size_t lineEndLength(std::string_view rest) {
    if (rest.starts_with("\r\n")) {
        return 2;
    }
    return rest.starts_with('\r') || rest.starts_with('\n') ? 1 : 0;
}

}  // namespace

DescriptorLine lineStartingAt(std::string_view bytes, std::size_t start) {
    const std::string_view rest = bytes.substr(start);
    const std::string_view text = rest.substr(0, rest.find_first_of("\r\n"));
    return DescriptorLine{text, start,
                          start + text.size() + lineEndLength(rest.substr(text.size()))};
}

LineCounter::LineCounter(std::string_view bytes) : bytes_(bytes), line_(lineStartingAt(bytes, 0)) {}

int LineCounter::lineHolding(std::size_t offset) {
    while (line_.next <= offset && line_.next < bytes_.size()) {
        line_ = lineStartingAt(bytes_, line_.next);
        ++number_;
    }
    return number_;
}

}  // namespace velmora
