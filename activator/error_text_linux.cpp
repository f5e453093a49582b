#include <cerrno>
#include <cstring>

#include "error_text.h"

namespace velmora {

NativeString systemReason(int code) {
    return std::strerror(code);
}

NativeString textOfDescriptorBytes(std::string_view bytes) {
    return NativeString(bytes);
}

// A UTF-8 character is at most four bytes: its first and up to three that continue it.
std::size_t characterStartAtOrBefore(const NativeString& text, std::size_t at) {
    const auto continues = [&](std::size_t i) {
        return i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
    };
    for (int step = 0; step < 3 && at > 0 && continues(at); ++step) {
        --at;
    }
    return at;
}

bool isAccessDenied(int code) {
    return code == EACCES || code == EPERM || code == EROFS;
}

}  // namespace velmora
