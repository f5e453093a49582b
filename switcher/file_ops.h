// The file operations the switcher uses, behind an interface so that its steps are plain
// code. The platform's implementation is in file_ops_win.cpp or file_ops_linux.cpp.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace swapcfg {

// Paths in the platform's own character type: UTF-16 on Windows, bytes on Linux.
using NativeString = std::filesystem::path::string_type;

enum class RenameResult {
    Renamed,
    TargetTaken,  // something already has the new name; both stay as they were
    Failed,       // any other reason; both stay as they were
};

// Held while a run works in a folder; other runs on the same folder wait until it is gone.
class FolderTurn {
  public:
    virtual ~FolderTurn() = default;
};

// A turn that lasts as long as its owner holds what gives it: a folder's lock, a mutex.
template <typename Owner>
class HeldTurn final : public FolderTurn {
  public:
    explicit HeldTurn(Owner owner) : owner_(std::move(owner)) {}

  private:
    Owner owner_;
};

class FileOps {
  public:
    virtual ~FileOps() = default;

    // Renames `from` to `to` within its volume; never replaces a file that exists at `to`,
    // and never copies. On Windows a file in use is waited for (about a second), as it is by
    // the test-open.
    virtual RenameResult renameNoReplace(const NativeString& from, const NativeString& to) = 0;

    // True when something, of any kind, has the name.
    virtual bool exists(const NativeString& name) = 0;

    // The test-open of a backup or a bot variant, which asks whether a restore or an install
    // can move it: true when `name` is a regular file on a disk that opens for reading and,
    // where the system lets it ask, for the move. Never waits for a writer, and never takes a
    // directory, a pipe or a device for a file to move. Each platform asks for what it can:
    // - Windows opens it for reading and deletion, as a move needs: a file that another
    //   program holds open without FILE_SHARE_DELETE fails (after the wait for a busy file),
    //   so it is skipped rather than found immovable part way through;
    // - Linux opens it for reading only: a file that cannot be moved (the immutable flag, a
    //   folder without write permission) passes, and the run finds out when it moves it.
    virtual bool isMovableFile(const NativeString& name) = 0;

    // Creates an empty file at `name`; false where the name is taken or the file cannot be
    // made.
    virtual bool createEmptyFile(const NativeString& name) = 0;

    // Removes `name` if it is an empty regular file, the only kind swapcfg ever removes.
    virtual void removeEmptyFile(const NativeString& name) = 0;

    // Where `name` and `other` are two names of one file (as a move by a link and an unlink,
    // stopped between the two, leaves it), removes the name `name` and returns true. Where a
    // move is one step (Windows), there are never two names to find.
    virtual bool dropSecondName(const NativeString& name, const NativeString& other) = 0;

    // `prefix` with the separator that makes it the start of the names inside the folder it
    // names. Nothing where it names no folder, or already ends as a folder's name does: in a
    // separator, or, on Windows, as a drive alone ("C:", whose names go to the drive's current
    // folder).
    virtual std::optional<NativeString> withFolderSeparator(const NativeString& prefix) = 0;

    // Waits until no other run works in the folder that holds `name`, for at most
    // `patience`, and then holds the folder until the turn is destroyed. Null when the
    // turn did not come in time. Where the system offers no way to take turns in that
    // folder, the turn is granted at once.
    virtual std::unique_ptr<FolderTurn> waitForTurn(const NativeString& name,
                                                    std::chrono::milliseconds patience) = 0;
};

FileOps& platformFileOps();

}  // namespace swapcfg
