// The switcher's file operations on Linux and other POSIX systems.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file_ops.h"

namespace swapcfg {
namespace {

// A rename that cannot replace an existing file: the check and the rename are one step
// (Linux's renameat2).
bool renameNoReplaceAtomically(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return false;
    }
    // The file system cannot do it in one call: a hard link fails as well when `to` exists.
    if (::link(from, to) != 0) {
        return false;
    }
    ::unlink(from);
    return true;
}

class PosixFileOps final : public FileOps {
  public:
    bool renameNoReplace(const NativeString& from, const NativeString& to) override {
        return renameNoReplaceAtomically(from.c_str(), to.c_str());
    }

    bool remove(const NativeString& name) override { return ::unlink(name.c_str()) == 0; }

    bool canOpenForReading(const NativeString& name) override {
        const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        struct stat info {};
        const bool isFile = ::fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
        ::close(fd);
        return isFile;
    }
};

}  // namespace

FileOps& platformFileOps() {
    static PosixFileOps files;
    return files;
}

}  // namespace swapcfg
