#pragma once

#include <string_view>

#include "file_system.h"

namespace velmora {

// Gives the file at `path` the content `bytes` without ever truncating it: the new content
// is written to a file beside it, flushed to disk and then put in its place in one step.
// On failure the file is as it was and nothing is left behind.
[[nodiscard]] FileResult rewriteFile(FileSystem& files, const NativeString& path,
                                     std::string_view bytes);

}  // namespace velmora
