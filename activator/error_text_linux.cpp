#include <cerrno>
#include <cstring>

#include "error_text.h"

namespace velmora {

NativeString systemReason(int code) {
    return std::strerror(code);
}

bool isAccessDenied(int code) {
    return code == EACCES || code == EPERM || code == EROFS;
}

}  // namespace velmora
