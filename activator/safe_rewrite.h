#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "file_system.h"

namespace velmora {

// What became of a rewrite that must not overwrite a change another program made.
struct RewriteResult {
    FileResult error;  // a step failed; the file is as it was
    // The file no longer held the content the new one was made from; it was left as it is.
    bool changed = false;
};

// Gives the file at `path` the content `bytes` without ever truncating it, while it holds
// `basis`, the content `bytes` were made from. The new content is written to a file beside
// it and flushed to disk; then the file is looked at once more, and put in its place in one
// step if it still holds `basis`, else left alone: what it holds then is for the caller to
// read. While another program holds the file, the look and the replace are tried again for
// about a second (kBusyReplaceTries). On failure the file is as it was, nothing is left
// behind, and the error names `path`.
[[nodiscard]] RewriteResult rewriteFileUnlessChanged(FileSystem& files, const NativeString& path,
                                                     std::string_view basis,
                                                     std::string_view bytes);

// The names a rewrite tries for its new file, in turn: beside the target, told apart by the
// process and by the attempt. A name taken by a file that an earlier, killed run left
// behind is passed over (and the file left alone), so that a reused process id never
// blocks a save.
inline constexpr int kTemporaryNameTries = 16;

// How often a rewrite looks and tries the replace while another program holds the file, with
// FileSystem::pauseWhileBusy between the tries.
inline constexpr int kBusyReplaceTries = 21;
NativeString temporaryNameBeside(const NativeString& target, std::uint32_t processId, int attempt);

}  // namespace velmora
