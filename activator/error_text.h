// Turns a failed file operation, or a refused rewrite, into the text of an error box. Only the
// system's own parts (its reason for a code, how it shows a descriptor's bytes) differ between
// platforms: error_text_win.cpp and error_text_linux.cpp.
#pragma once

#include <cstddef>
#include <string_view>

#include "descriptor_check.h"
#include "file_error.h"
#include "native_string.h"

namespace velmora {

// The system's description of an error code, in the user's language where it has one.
NativeString systemReason(int code);

// True for the codes that mean the system refused access rather than that something failed.
bool isAccessDenied(int code);

// Bytes of the descriptor, 8-bit text in the system's code page, as the user's text, for
// showing only: the descriptor itself is never converted.
NativeString textOfDescriptorBytes(std::string_view bytes);

// Where a text cut at `at` keeps only whole characters: `at`, or the start of the character
// that `at` would split (a UTF-16 surrogate pair on Windows, a UTF-8 sequence on Linux).
std::size_t characterStartAtOrBefore(const NativeString& text, std::size_t at);

// Names the operation, the file and the system's reason; for a refused access it adds what
// usually causes it.
NativeString describeFileError(const FileError& error);

// Says that liblist.gam was not changed; names the line to blame and shows it, tells what the
// game would read there and what to change.
NativeString describeRefusal(const Refusal& refusal);

}  // namespace velmora
