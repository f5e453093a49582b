// The activator's file layer on Windows, wide API throughout.
#include <windows.h>

#include <algorithm>
#include <array>
#include <memory>

#include "file_system.h"
#include "long_path_win.h"
#include "unique_handle_win.h"

namespace velmora {
namespace {

// Attributes a rewritten descriptor keeps from the one it replaces.
constexpr DWORD kAttributesToCarry = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// A virus scanner, a backup or cloud-sync client, or the game itself may hold the descriptor
// for a moment; a read refused meanwhile is retried for about a second before it counts. A
// replace is not retried here: its caller looks at the file again before each try.
constexpr int kBusyRetries = 20;
constexpr DWORD kBusyRetryPauseMs = 50;

// "An operation is not supported on a directory"; older SDK headers lack its name.
constexpr DWORD kErrorDirectoryNotSupported = 336;

// Calls `attempt` (which returns true on success) until it succeeds, fails with a code that
// `busy` does not count, or the retries are used up. Returns the last error code, or 0.
template <typename Busy, typename Attempt>
DWORD retryWhile(Busy busy, Attempt attempt) {
    for (int tries = 0;; ++tries) {
        if (attempt()) {
            return ERROR_SUCCESS;
        }
        const DWORD code = ::GetLastError();
        if (!busy(code) || tries == kBusyRetries) {
            return code;
        }
        ::Sleep(kBusyRetryPauseMs);
    }
}

// Another program holds the file open, or is deleting it.
bool isHeld(DWORD code) {
    return isBusy(static_cast<int>(code));
}

// Another program has locked the range being read (LockFileEx); CreateFileW never says so.
bool isLocked(DWORD code) {
    return code == ERROR_LOCK_VIOLATION;
}

FileError errorFrom(FileOp op, const NativeString& path, DWORD code = ::GetLastError()) {
    return FileError{op, path, static_cast<int>(code)};
}

bool isDirectory(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

class WinWritableFile final : public WritableFile {
  public:
    WinWritableFile(NativeString path, UniqueHandle handle)
        : path_(std::move(path)), handle_(std::move(handle)) {}

    const NativeString& path() const override { return path_; }

    FileResult write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 20));
            DWORD written = 0;
            if (!::WriteFile(handle_.get(), bytes.data(), chunk, &written, nullptr)) {
                return errorFrom(FileOp::Write, path_);
            }
            if (written == 0) {
                return errorFrom(FileOp::Write, path_, ERROR_DISK_FULL);
            }
            bytes.remove_prefix(written);
        }
        return std::nullopt;
    }

    FileResult flush() override {
        if (!::FlushFileBuffers(handle_.get())) {
            return errorFrom(FileOp::Flush, path_);
        }
        return std::nullopt;
    }

    FileResult close() override {
        if (!::CloseHandle(handle_.disown())) {
            return errorFrom(FileOp::Close, path_);
        }
        return std::nullopt;
    }

  private:
    NativeString path_;
    UniqueHandle handle_;
};

class WinFileSystem final : public FileSystem {
  public:
    bool isRegularFile(const NativeString& path) override {
        const DWORD attributes = ::GetFileAttributesW(longPathForm(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !isDirectory(attributes);
    }

    FileResult readAtMost(const NativeString& path, std::size_t limit,
                          std::string& bytes) override {
        UniqueHandle file;
        const NativeString longPath = longPathForm(path);
        const DWORD openError = retryWhile(isHeld, [&] {
            file.reset(::CreateFileW(longPath.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            return file.valid();
        });
        if (openError != ERROR_SUCCESS) {
            return errorFrom(FileOp::Read, path, openError);
        }
        bytes.clear();
        std::array<char, std::size_t{64} * 1024> buffer{};
        while (bytes.size() < limit) {
            const auto wanted = static_cast<DWORD>(std::min(buffer.size(), limit - bytes.size()));
            DWORD got = 0;
            const DWORD readError = retryWhile(isLocked, [&] {
                return ::ReadFile(file.get(), buffer.data(), wanted, &got, nullptr) != FALSE;
            });
            if (readError != ERROR_SUCCESS) {
                return errorFrom(FileOp::Read, path, readError);
            }
            if (got == 0) {
                break;
            }
            bytes.append(buffer.data(), got);
        }
        return std::nullopt;
    }

    FileResult checkRewritable(const NativeString& path, CarriedAttributes& carried) override {
        // Named, so that it lives on while GetLastError is read.
        const NativeString longPath = longPathForm(path);
        const DWORD attributes = ::GetFileAttributesW(longPath.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return errorFrom(FileOp::CheckRewritable, path);
        }
        if (isDirectory(attributes)) {
            return errorFrom(FileOp::CheckRewritable, path, kErrorDirectoryNotSupported);
        }
        // Windows refuses to replace a read-only file, Wine does not: refuse it ourselves.
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return errorFrom(FileOp::CheckRewritable, path, ERROR_ACCESS_DENIED);
        }
        carried.bits = attributes & kAttributesToCarry;
        return std::nullopt;
    }

    FileResult createNew(const NativeString& path, CarriedAttributes carried,
                         std::unique_ptr<WritableFile>& file) override {
        const DWORD attributes = carried.bits != 0 ? carried.bits : FILE_ATTRIBUTE_NORMAL;
        const NativeString longPath = longPathForm(path);
        UniqueHandle handle(::CreateFileW(longPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          attributes, nullptr));
        if (!handle.valid()) {
            return errorFrom(FileOp::CreateNew, path);
        }
        file = std::make_unique<WinWritableFile>(path, std::move(handle));
        return std::nullopt;
    }

    // MoveFileExW, not ReplaceFileW: with REPLACE_EXISTING it is a single rename, which
    // leaves either the old descriptor or the new one (after a power cut too on NTFS and
    // ReFS; not on FAT32 and exFAT, see FileSystem::replace). The new content is on disk
    // already (FlushFileBuffers on the temporary file). WRITE_THROUGH, by MoveFileExW's
    // page, only makes a move done as a copy and a delete flush before it returns, and a
    // file beside its target is renamed, never copied: it is kept should that ever change.
    // ReplaceFileW does the swap in several steps with failure codes of their own
    // (ERROR_UNABLE_TO_MOVE_REPLACEMENT, ...) and differs between Windows, network file
    // systems and Wine. What this gives up: the new file gets its folder's inherited
    // permissions, not an ACL of the replaced file's own, and no alternate data streams; the
    // attributes that matter are carried over above.
    FileResult replace(const NativeString& source, const NativeString& target) override {
        const NativeString longSource = longPathForm(source);
        const NativeString longTarget = longPathForm(target);
        if (!::MoveFileExW(longSource.c_str(), longTarget.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return errorFrom(FileOp::Replace, target);
        }
        return std::nullopt;
    }

    // Another program (a virus scanner) may hold the new file for a moment, and keep it from
    // being deleted: retried as a busy read is. A name it still holds stays "pending
    // deletion" and cannot be reused (Closing and Deleting Files): see isNameTaken.
    void remove(const NativeString& path) override {
        const NativeString longPath = longPathForm(path);
        retryWhile(isHeld, [&] { return ::DeleteFileW(longPath.c_str()) != FALSE; });
    }

    void pauseWhileBusy() override { ::Sleep(kBusyRetryPauseMs); }
};

}  // namespace

FileSystem& platformFileSystem() {
    static WinFileSystem files;
    return files;
}

// ERROR_ACCESS_DENIED counts as busy too: Windows gives it, not a sharing violation, while
// a file is being deleted, and MoveFileExW gives it for a target that another program holds
// open, whatever sharing that program allowed (only a rename with
// FILE_RENAME_POSIX_SEMANTICS replaces a file with open handles, and MoveFileExW does not
// ask for it). The price: a refusal that is real (a protected folder) is reported after
// about a second instead of at once.
bool isBusy(int code) {
    const auto error = static_cast<DWORD>(code);
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// ERROR_ACCESS_DENIED too: CreateFileW gives it for a name that is still being deleted,
// which "cannot be reused" until the last handle to it is closed (Closing and Deleting
// Files), such as a temporary file of an earlier try that a virus scanner holds. In a
// folder that refuses new files every name fails alike, and the last failure is reported.
bool isNameTaken(int code) {
    const auto error = static_cast<DWORD>(code);
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
           error == ERROR_ACCESS_DENIED;
}

std::uint32_t currentProcessId() {
    return ::GetCurrentProcessId();
}

}  // namespace velmora
