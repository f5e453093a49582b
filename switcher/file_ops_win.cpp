// The switcher's file operations on Windows, wide API throughout.
#include <windows.h>

#include <sddl.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "file_ops.h"

namespace swapcfg {
namespace {

// Owns one kernel handle; null when there is none.
struct HandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

Handle adopt(HANDLE handle) {
    return Handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

struct LocalFreer {
    void operator()(void* memory) const { ::LocalFree(memory); }
};

// The full path of the folder that holds `name`, in capitals: Windows names are the same
// folder in any letter case.
NativeString folderKey(const NativeString& name) {
    const DWORD size = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    std::vector<wchar_t> full(size + 1);
    wchar_t* filePart = nullptr;
    const DWORD length =
        ::GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), &filePart);
    if (length == 0 || length >= full.size()) {
        return name;
    }
    NativeString folder(full.data(), filePart != nullptr ? filePart : full.data() + length);
    if (!folder.empty()) {
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, folder.data(),
                        static_cast<int>(folder.size()), folder.data(),
                        static_cast<int>(folder.size()), nullptr, nullptr, 0);
    }
    return folder;
}

// A mutex name may not hold a path (no backslashes, at most MAX_PATH characters): name it
// after a 64-bit FNV-1a hash of the folder instead. Global, so that runs in other sessions
// (a scheduled task, a service) take turns too.
NativeString mutexNameFor(const NativeString& folder) {
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const wchar_t unit : folder) {
        hash = (hash ^ static_cast<std::uint16_t>(unit)) * 0x100000001b3u;
    }
    NativeString name = L"Global\\swapcfg-folder-";
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += L"0123456789abcdef"[(hash >> shift) & 0xf];
    }
    return name;
}

// Every account may wait for the mutex and release it, so that runs under different users
// take turns too; nobody but its creator may change it.
constexpr wchar_t kEveryoneMaySynchronize[] = L"D:(A;;0x00100001;;;WD)";

Handle folderMutex(const NativeString& name) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ::ConvertStringSecurityDescriptorToSecurityDescriptorW(kEveryoneMaySynchronize, SDDL_REVISION_1,
                                                           &descriptor, nullptr);
    const std::unique_ptr<void, LocalFreer> ownedDescriptor(descriptor);
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    return Handle(::CreateMutexExW(descriptor != nullptr ? &attributes : nullptr,
                                   mutexNameFor(folderKey(name)).c_str(), 0,
                                   SYNCHRONIZE | MUTEX_MODIFY_STATE));
}

// A named mutex: the system releases it if the process dies, and it leaves no file behind.
class FolderMutex final : public FolderTurn {
  public:
    explicit FolderMutex(Handle mutex) : mutex_(std::move(mutex)) {}
    FolderMutex(const FolderMutex&) = delete;
    FolderMutex& operator=(const FolderMutex&) = delete;
    FolderMutex(FolderMutex&&) = delete;
    FolderMutex& operator=(FolderMutex&&) = delete;
    ~FolderMutex() override { ::ReleaseMutex(mutex_.get()); }

  private:
    Handle mutex_;
};

class WinFileOps final : public FileOps {
  public:
    // MoveFileW fails when the target exists; it never replaces it.
    RenameResult renameNoReplace(const NativeString& from, const NativeString& to) override {
        if (::MoveFileW(from.c_str(), to.c_str())) {
            return RenameResult::Renamed;
        }
        const DWORD error = ::GetLastError();
        return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS
                   ? RenameResult::TargetTaken
                   : RenameResult::Failed;
    }

    bool remove(const NativeString& name) override { return ::DeleteFileW(name.c_str()) != FALSE; }

    // Without FILE_FLAG_BACKUP_SEMANTICS a directory cannot be opened; a pipe or a device
    // that opens is not a file on a disk.
    bool canOpenForReading(const NativeString& name) override {
        const Handle file = adopt(::CreateFileW(
            name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file && ::GetFileType(file.get()) == FILE_TYPE_DISK;
    }

    std::unique_ptr<FolderTurn> waitForTurn(const NativeString& name,
                                            std::chrono::milliseconds patience) override {
        Handle mutex = folderMutex(name);
        if (!mutex) {
            return std::make_unique<FolderTurn>();  // nothing to take turns on
        }
        switch (::WaitForSingleObject(mutex.get(), static_cast<DWORD>(patience.count()))) {
            case WAIT_OBJECT_0:
            case WAIT_ABANDONED:  // the run before ended without letting go
                return std::make_unique<FolderMutex>(std::move(mutex));
            case WAIT_TIMEOUT:
                return nullptr;
            default:
                return std::make_unique<FolderTurn>();
        }
    }
};

}  // namespace

FileOps& platformFileOps() {
    static WinFileOps files;
    return files;
}

}  // namespace swapcfg
