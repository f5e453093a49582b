// What tests do to files that differs between platforms: attributes and read-only marks,
// locks against changes, paths of any length, and walking a folder.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

// Read-only as the platform means it: the read-only attribute, or no write bits.
void makeReadOnly(const std::filesystem::path& path);

// An attribute a rewrite must carry over: hidden on Windows; on Linux, where no attribute
// hides a file, the permission bits 0640 (a rewrite's new file starts with 0600).
void setCarriedAttribute(const std::filesystem::path& path);
bool hasCarriedAttribute(const std::filesystem::path& path);

// Undoes whatever these helpers did, so the file can be cleaned up.
void clearProtection(const std::filesystem::path& path);

// Keeps a file from being renamed, replaced or deleted while it lives: held open without
// sharing by another process (hold_file.exe) on Windows, the immutable flag on Linux. Null
// where the system refuses, and a test then skips: `kCannotLock` says why.
class FileLock {
  public:
    virtual ~FileLock() = default;
};
std::unique_ptr<FileLock> lockAgainstChanges(const std::filesystem::path& path);
inline constexpr const char* kCannotLock = "locking a file against changes needs root here";

// The code a replace fails with while another program holds its target: ERROR_ACCESS_DENIED
// from MoveFileExW on Windows, EBUSY on Linux.
extern const int kBusyCode;

// The path in a form the test's own file calls accept at any length: "\\?\" before an
// absolute Windows path, the path itself on Linux.
std::filesystem::path anyLengthForm(const std::filesystem::path& path);

// Folders for temporary files, in the order to try them, after the system's own.
std::vector<std::filesystem::path> otherTemporaryFolders();

// Every entry below `directory`, at any depth and path length, by its path relative to it
// with "/" as separator; directories end with "/".
std::vector<std::string> entriesBelow(const std::filesystem::path& directory);

}  // namespace testing_support
