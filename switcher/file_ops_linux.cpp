// The switcher's file operations on Linux.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "file_ops.h"
#include "owned.h"
#include "rename_linux.h"

namespace swapcfg {
namespace {

struct FdTraits {
    using Type = int;
    static Type none() { return -1; }
    static bool owns(Type fd) { return fd >= 0; }
    static void release(Type fd) { ::close(fd); }
};
using Fd = Owned<FdTraits>;

constexpr auto kTurnPoll = std::chrono::milliseconds(10);

bool isRegularFile(const struct stat& info) {
    return S_ISREG(info.st_mode);
}

NativeString folderOf(const NativeString& name) {
    const auto slash = name.rfind('/');
    if (slash == NativeString::npos) {
        return ".";
    }
    return slash == 0 ? "/" : name.substr(0, slash);
}

class LinuxFileOps final : public FileOps {
  public:
    RenameResult renameNoReplace(const NativeString& from, const NativeString& to) override {
        return renameWithoutReplacing(systemRenameCalls(), from.c_str(), to.c_str());
    }

    bool exists(const NativeString& name) override {
        struct stat info {};
        return ::lstat(name.c_str(), &info) == 0;
    }

    // Looks before it opens, so that a directory, a FIFO or a device is never opened.
    // O_NONBLOCK keeps a FIFO that takes the name between the look and the open from holding
    // the open up; it then passes, and the restore moves it as it would the file.
    bool isMovableFile(const NativeString& name) override {
        struct stat info {};
        if (::stat(name.c_str(), &info) != 0 || !isRegularFile(info)) {
            return false;
        }
        return static_cast<bool>(Fd(::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)));
    }

    bool createEmptyFile(const NativeString& name) override {
        return static_cast<bool>(
            Fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644)));
    }

    void removeEmptyFile(const NativeString& name) override {
        struct stat info {};
        if (::lstat(name.c_str(), &info) == 0 && isRegularFile(info) && info.st_size == 0) {
            ::unlink(name.c_str());
        }
    }

    bool dropSecondName(const NativeString& name, const NativeString& other) override {
        struct stat named {};
        struct stat otherNamed {};
        if (::lstat(name.c_str(), &named) != 0 || ::lstat(other.c_str(), &otherNamed) != 0 ||
            !isRegularFile(named) || named.st_dev != otherNamed.st_dev ||
            named.st_ino != otherNamed.st_ino) {
            return false;
        }
        return ::unlink(name.c_str()) == 0;
    }

    std::optional<NativeString> withFolderSeparator(const NativeString& prefix) override {
        struct stat info {};
        if (prefix.empty() || prefix.back() == '/' || ::stat(prefix.c_str(), &info) != 0 ||
            !S_ISDIR(info.st_mode)) {
            return std::nullopt;
        }
        return prefix + '/';
    }

    std::unique_ptr<FolderTurn> waitForTurn(const NativeString& name,
                                            std::chrono::milliseconds patience) override {
        Fd folder(::open(folderOf(name).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!folder) {
            return std::make_unique<FolderTurn>();  // nothing to take turns on
        }
        const auto deadline = std::chrono::steady_clock::now() + patience;
        for (;;) {
            // An flock on the folder itself: it never leaves a file behind, and the system
            // drops it when the process ends, however it ends.
            if (::flock(folder.get(), LOCK_EX | LOCK_NB) == 0) {
                return std::make_unique<HeldTurn<Fd>>(std::move(folder));
            }
            if (errno != EWOULDBLOCK && errno != EINTR) {
                return std::make_unique<FolderTurn>();  // this file system cannot lock
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                return nullptr;
            }
            std::this_thread::sleep_for(kTurnPoll);
        }
    }
};

}  // namespace

FileOps& platformFileOps() {
    static LinuxFileOps files;
    return files;
}

}  // namespace swapcfg
