// liblist.gam's lines as a text editor counts them: CR LF, a lone CR and a lone LF each end a
// line, and a last line without a line end is a line too. The writer keeps lines by this
// split and the reader numbers its words by it, so that a line number means the same to both.
// Plain functions over bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace velmora {

struct DescriptorLine {
    std::string_view text;  // without its line end
    std::size_t start = 0;  // offset of its first byte
    std::size_t next = 0;   // offset just past its line end
};

// The line that starts at `start`; at the end of `bytes`, an empty one.
DescriptorLine lineStartingAt(std::string_view bytes, std::size_t start);

// The numbers of the lines that hold given offsets, asked for in an order that never goes
// back, counted from 1.
class LineCounter {
  public:
    explicit LineCounter(std::string_view bytes);
    int lineHolding(std::size_t offset);

  private:
    std::string_view bytes_;
    DescriptorLine line_;
    int number_ = 1;
};

}  // namespace velmora
