// The switcher's file operations on Windows, wide API throughout.
#include <windows.h>

#include <sddl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "file_ops.h"
#include "long_path_win.h"
#include "owned.h"

namespace swapcfg {
namespace {

// A kernel handle. CreateFileW reports failure as INVALID_HANDLE_VALUE, CreateMutexExW as null.
struct HandleTraits {
    using Type = HANDLE;
    static Type none() { return nullptr; }
    static bool owns(Type handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void release(Type handle) { ::CloseHandle(handle); }
};
using Handle = Owned<HandleTraits>;

// A mutex this run waited for and now owns: let go, then closed.
struct HeldMutexTraits : HandleTraits {
    static void release(Type mutex) {
        ::ReleaseMutex(mutex);
        ::CloseHandle(mutex);
    }
};
using HeldMutex = Owned<HeldMutexTraits>;

// Memory the system allocated with LocalAlloc (a security descriptor).
struct LocalMemoryTraits {
    using Type = void*;
    static Type none() { return nullptr; }
    static bool owns(Type memory) { return memory != nullptr; }
    static void release(Type memory) { ::LocalFree(memory); }
};
using LocalMemory = Owned<LocalMemoryTraits>;

// A virus scanner, a backup tool or the game may hold a file for a moment; such refusals are
// retried for about a second before a step counts as failed. A file held open without
// FILE_SHARE_DELETE gives ERROR_SHARING_VIOLATION, a locked range ERROR_LOCK_VIOLATION.
// ERROR_ACCESS_DENIED counts too: Windows gives it for a file that another program has
// deleted while a handle to it is still open (CreateFile's documentation: the file is
// pending deletion until the last handle closes), and that state passes. The price: a
// refusal that is real (a protected folder, a file the user may not change) costs that
// second for each step.
constexpr int kBusyRetries = 20;
constexpr DWORD kBusyRetryPauseMs = 50;

bool isBusy(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
           code == ERROR_ACCESS_DENIED;
}

// Calls `attempt` (which returns true on success) until it succeeds, fails for a reason other
// than a busy file, or the retries are used up. Returns the last error code, or 0.
template <typename Attempt>
DWORD retryWhileBusy(Attempt attempt) {
    for (int tries = 0;; ++tries) {
        if (attempt()) {
            return ERROR_SUCCESS;
        }
        const DWORD code = ::GetLastError();
        if (!isBusy(code) || tries == kBusyRetries) {
            return code;
        }
        ::Sleep(kBusyRetryPauseMs);
    }
}

// The full path of the folder that holds `name`.
NativeString folderOf(const NativeString& name) {
    const DWORD size = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    std::vector<wchar_t> full(size + 1);
    wchar_t* filePart = nullptr;
    const DWORD length =
        ::GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), &filePart);
    if (length == 0 || length >= full.size()) {
        return name;
    }
    return NativeString(full.data(), filePart != nullptr ? filePart : full.data() + length);
}

void appendHex(NativeString& text, std::uint64_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        text += L"0123456789abcdef"[(value >> shift) & 0xf];
    }
}

// Global, so that runs in other sessions (a scheduled task, a service) take turns too.
constexpr wchar_t kMutexPrefix[] = L"Global\\swapcfg-folder-";

// FILE_ID_INFO and its class, which Windows 8 brought and the headers give only to programs
// that need Windows 8.
struct FileIdInformation {
    ULONGLONG volumeSerialNumber;
    std::array<BYTE, 16> fileId;
};
static_assert(sizeof(FileIdInformation) == 24);
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);

// The folder's 128-bit file id with the volume's 64-bit serial number: unique on every file
// system, ReFS (a Dev Drive) included, where the 64-bit file index is not.
std::optional<NativeString> fullIdentity(HANDLE folder) {
    FileIdInformation information{};
    if (!::GetFileInformationByHandleEx(folder, kFileIdInfo, &information, sizeof(information))) {
        return std::nullopt;
    }
    NativeString name = kMutexPrefix;
    appendHex(name, information.volumeSerialNumber, 16);
    name += L'-';
    for (const BYTE part : information.fileId) {
        appendHex(name, part, 2);
    }
    return name;
}

// Where the system has no 128-bit id (Windows 7): the volume's 32-bit serial number and the
// 64-bit file index, unique on NTFS and FAT.
std::optional<NativeString> indexIdentity(HANDLE folder) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(folder, &information)) {
        return std::nullopt;
    }
    NativeString name = kMutexPrefix;
    appendHex(name, information.dwVolumeSerialNumber, 8);
    name += L'-';
    appendHex(name, (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow,
              16);
    return name;
}

// The folder as Windows knows it whatever path names it (a junction, a subst drive, an 8.3
// name, a mapped drive or its UNC path): its volume and its id on that volume.
std::optional<NativeString> mutexNameByIdentity(const NativeString& folder) {
    const Handle handle(::CreateFileW(longPathForm(folder).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) {
        return std::nullopt;
    }
    if (auto name = fullIdentity(handle.get())) {
        return name;
    }
    return indexIdentity(handle.get());
}

// Where the folder cannot be opened: its full path, in capitals (Windows names are the same
// folder in any letter case). A mutex name may not hold a path (no backslashes, at most
// MAX_PATH characters), so it is named after a 64-bit FNV-1a hash of it.
NativeString mutexNameByPath(NativeString folder) {
    if (!folder.empty()) {
        ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, folder.data(),
                        static_cast<int>(folder.size()), folder.data(),
                        static_cast<int>(folder.size()), nullptr, nullptr, 0);
    }
    std::uint64_t hash = 0xcbf29ce484222325u;
    for (const wchar_t unit : folder) {
        hash = (hash ^ static_cast<std::uint16_t>(unit)) * 0x100000001b3u;
    }
    NativeString name = kMutexPrefix;
    appendHex(name, hash, 16);
    return name;
}

NativeString mutexNameFor(const NativeString& name) {
    const NativeString folder = folderOf(name);
    return mutexNameByIdentity(folder).value_or(mutexNameByPath(folder));
}

// Every account may wait for the mutex and release it, so that runs under different users
// take turns too; nobody but its creator may change it.
constexpr wchar_t kEveryoneMaySynchronize[] = L"D:(A;;0x00100001;;;WD)";

Handle folderMutex(const NativeString& name) {
    PSECURITY_DESCRIPTOR made = nullptr;
    ::ConvertStringSecurityDescriptorToSecurityDescriptorW(kEveryoneMaySynchronize, SDDL_REVISION_1,
                                                           &made, nullptr);
    const LocalMemory descriptor(made);
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor.get(), FALSE};
    return Handle(::CreateMutexExW(descriptor ? &attributes : nullptr, mutexNameFor(name).c_str(),
                                   0, SYNCHRONIZE | MUTEX_MODIFY_STATE));
}

// A separator at the end, or a drive alone ("C:"): the names that follow are in a folder.
bool endsAsAFolder(const NativeString& prefix) {
    const wchar_t last = prefix.back();
    const bool driveAlone = prefix.size() == 2 && last == L':';
    return last == L'\\' || last == L'/' || driveAlone;
}

class WinFileOps final : public FileOps {
  public:
    // Without flags MoveFileExW fails when the target exists, and fails between volumes
    // rather than copying (as MoveFileW would): a copy can be cut off half written.
    RenameResult renameNoReplace(const NativeString& from, const NativeString& to) override {
        const NativeString longFrom = longPathForm(from);
        const NativeString longTo = longPathForm(to);
        const DWORD error = retryWhileBusy(
            [&] { return ::MoveFileExW(longFrom.c_str(), longTo.c_str(), 0) != FALSE; });
        if (error == ERROR_SUCCESS) {
            return RenameResult::Renamed;
        }
        return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS
                   ? RenameResult::TargetTaken
                   : RenameResult::Failed;
    }

    bool exists(const NativeString& name) override {
        return ::GetFileAttributesW(longPathForm(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // Asks for DELETE too, the access a move needs: a backup that another program holds open
    // without FILE_SHARE_DELETE cannot be moved, and so is no backup to restore. Without
    // FILE_FLAG_BACKUP_SEMANTICS a directory cannot be opened; a pipe or a device that opens
    // is not a file on a disk.
    bool isMovableFile(const NativeString& name) override {
        const NativeString longName = longPathForm(name);
        Handle file;
        retryWhileBusy([&] {
            file = Handle(::CreateFileW(longName.c_str(), GENERIC_READ | DELETE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            return static_cast<bool>(file);
        });
        return file && ::GetFileType(file.get()) == FILE_TYPE_DISK;
    }

    bool createEmptyFile(const NativeString& name) override {
        return static_cast<bool>(
            Handle(::CreateFileW(longPathForm(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr)));
    }

    void removeEmptyFile(const NativeString& name) override {
        const NativeString longName = longPathForm(name);
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(longName.c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || data.nFileSizeLow != 0 ||
            data.nFileSizeHigh != 0) {
            return;
        }
        retryWhileBusy([&] { return ::DeleteFileW(longName.c_str()) != FALSE; });
    }

    // MoveFileExW moves in one step.
    bool dropSecondName(const NativeString&, const NativeString&) override { return false; }

    std::optional<NativeString> withFolderSeparator(const NativeString& prefix) override {
        if (prefix.empty() || endsAsAFolder(prefix)) {
            return std::nullopt;
        }
        const DWORD attributes = ::GetFileAttributesW(longPathForm(prefix).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            return std::nullopt;
        }
        return prefix + L'\\';
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
                // A named mutex: the system lets go of it if the process dies, and it leaves
                // no file behind.
                return std::make_unique<HeldTurn<HeldMutex>>(HeldMutex(mutex.disown()));
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
