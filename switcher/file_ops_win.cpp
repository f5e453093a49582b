// The switcher's file operations on Windows, wide API throughout.
#include <windows.h>

#include "file_ops.h"

namespace swapcfg {
namespace {

class WinFileOps final : public FileOps {
  public:
    // MoveFileW fails when the target exists; it never replaces it.
    bool renameNoReplace(const NativeString& from, const NativeString& to) override {
        return ::MoveFileW(from.c_str(), to.c_str()) != FALSE;
    }

    bool remove(const NativeString& name) override { return ::DeleteFileW(name.c_str()) != FALSE; }

    // Without FILE_FLAG_BACKUP_SEMANTICS a directory cannot be opened, as it should not be.
    bool canOpenForReading(const NativeString& name) override {
        const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        ::CloseHandle(file);
        return true;
    }
};

}  // namespace

FileOps& platformFileOps() {
    static WinFileOps files;
    return files;
}

}  // namespace swapcfg
