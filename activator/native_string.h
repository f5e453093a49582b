// Paths and system texts in the platform's own character type: UTF-16 on Windows, so that
// paths outside the ANSI code page work, and bytes on Linux.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace velmora {

using NativeString = std::filesystem::path::string_type;
using NativeChar = NativeString::value_type;

inline constexpr NativeChar kPathSeparator = std::filesystem::path::preferred_separator;

// Widens plain ASCII text (file names, fixed messages) to the platform's character type.
inline NativeString nativeFromAscii(std::string_view ascii) {
    return NativeString(ascii.begin(), ascii.end());
}

}  // namespace velmora
