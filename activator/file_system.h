// The file operations the activator needs, behind an interface so that the rewrite protocol
// is plain code and tests can put failures into any step. The platform's implementation
// lives in file_system_win.cpp or file_system_linux.cpp. A failed operation names the path
// it worked on; rewriteFileUnlessChanged then names the file being rewritten, whichever step
// failed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "file_error.h"
#include "native_string.h"

namespace velmora {

// What a rewrite carries over from the file it replaces (Windows attributes such as hidden
// and system, or Linux permission bits), opaque to portable code.
struct CarriedAttributes {
    std::uint32_t bits = 0;
};

// A new file being written. Closing it is a step of its own so that its failure is seen;
// a file destroyed unclosed is closed quietly.
class WritableFile {
  public:
    virtual ~WritableFile() = default;
    virtual const NativeString& path() const = 0;
    [[nodiscard]] virtual FileResult write(std::string_view bytes) = 0;
    [[nodiscard]] virtual FileResult flush() = 0;
    [[nodiscard]] virtual FileResult close() = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // True for a regular file, hidden ones included; false for a directory or nothing.
    virtual bool isRegularFile(const NativeString& path) = 0;

    // The file's bytes, or its first `limit` bytes where it holds more: the rest is not read.
    [[nodiscard]] virtual FileResult readAtMost(const NativeString& path, std::size_t limit,
                                                std::string& bytes) = 0;

    // Fails for a file that must not be rewritten: missing, not a regular file, read-only.
    // Otherwise gives the attributes its replacement must carry over.
    [[nodiscard]] virtual FileResult checkRewritable(const NativeString& path,
                                                     CarriedAttributes& carried) = 0;

    // Creates a new, empty file at `path` with the attributes `carried`; fails when the name
    // is taken.
    [[nodiscard]] virtual FileResult createNew(const NativeString& path, CarriedAttributes carried,
                                               std::unique_ptr<WritableFile>& file) = 0;

    // Puts `source` in place of `target` in one step, durably: every other program sees the
    // old file or the new one, never neither. After a power cut, a file system that journals
    // its folders (NTFS, ReFS, ext4) holds one of the two as well; one that does not (FAT32
    // and exFAT, as on USB drives) may hold the new content under the temporary name only, or
    // a damaged folder entry for a disk check to mend.
    // One try, with no retry of its own: where another program holds `target` (isBusy),
    // the caller waits and looks at it again before the next try, since a program that
    // holds it may be writing to it.
    [[nodiscard]] virtual FileResult replace(const NativeString& source,
                                             const NativeString& target) = 0;

    virtual void remove(const NativeString& path) = 0;

    // Waits a moment (50 ms) for another program to let go of a file.
    virtual void pauseWhileBusy() = 0;
};

// The file system of the platform the program runs on.
FileSystem& platformFileSystem();

// True when a failed createNew's code means that something already has the name.
bool isNameTaken(int code);

// True when a failed open, delete or replace has this code because another program holds
// the file for now.
bool isBusy(int code);

std::uint32_t currentProcessId();

}  // namespace velmora
