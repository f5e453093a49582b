// The three file operations the switcher uses, behind an interface so that its steps are
// plain code. The platform's implementation is in file_ops_win.cpp or file_ops_posix.cpp.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace swapcfg {

// Paths in the platform's own character type: UTF-16 on Windows, bytes on POSIX.
using NativeString = std::filesystem::path::string_type;

class FileOps {
  public:
    virtual ~FileOps() = default;

    // Renames `from` to `to`; never replaces a file that exists at `to`.
    virtual bool renameNoReplace(const NativeString& from, const NativeString& to) = 0;

    virtual bool remove(const NativeString& name) = 0;

    // True when `name` is a file that can be opened for reading (a directory is not).
    virtual bool canOpenForReading(const NativeString& name) = 0;
};

FileOps& platformFileOps();

}  // namespace swapcfg
