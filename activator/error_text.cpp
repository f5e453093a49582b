#include "error_text.h"

namespace velmora {
namespace {

constexpr std::string_view kAccessDeniedHint =
    "This usually means that the file is read-only, that the game folder is protected "
    "(such as a folder under Program Files), or that another program is using the file.";

}  // namespace

NativeString describeFileError(const FileError& error) {
    const std::string_view action =
        error.op == FileOp::Read ? "Could not read " : "Could not save ";
    NativeString text = nativeFromAscii(action) + error.path + nativeFromAscii("\r\n\r\n");
    text += systemReason(error.code);
    if (isAccessDenied(error.code)) {
        text += nativeFromAscii("\r\n\r\n");
        text += nativeFromAscii(kAccessDeniedHint);
    }
    return text;
}

}  // namespace velmora
