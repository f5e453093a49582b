// A failed file operation as a value: what was done, to which path, and the system's code
// (a Windows error code or an errno value). It becomes text only where it is shown.
#pragma once

#include <optional>

#include "native_string.h"

namespace velmora {

enum class FileOp {
    Read,             // reading the descriptor
    CheckRewritable,  // looking at the descriptor before rewriting it
    CreateNew,        // creating the new descriptor beside the old one
    Write,
    Flush,
    Close,
    Replace,  // putting the new descriptor in place of the old one
};

struct FileError {
    FileOp op;
    NativeString path;
    int code;

    bool operator==(const FileError&) const = default;
};

// Empty on success; otherwise the failure that stopped the operation.
using FileResult = std::optional<FileError>;

}  // namespace velmora
