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

bool isAccessDenied(int code) {
    return code == EACCES || code == EPERM || code == EROFS;
}

}  // namespace velmora
