#pragma once

#include <cstdint>
#include <string_view>

#include "file_system.h"

namespace velmora {

// Gives the file at `path` the content `bytes` without ever truncating it: the new content
// is written to a file beside it, flushed to disk and then put in its place in one step.
// On failure the file is as it was, nothing is left behind, and the error names `path`.
[[nodiscard]] FileResult rewriteFile(FileSystem& files, const NativeString& path,
                                     std::string_view bytes);

// The names a rewrite tries for its new file, in turn: beside the target, told apart by the
// process and by the attempt. A name taken by a file that an earlier, killed run left
// behind is passed over (and the file left alone), so that a reused process id never
// blocks a save.
inline constexpr int kTemporaryNameTries = 16;
NativeString temporaryNameBeside(const NativeString& target, std::uint32_t processId, int attempt);

}  // namespace velmora
