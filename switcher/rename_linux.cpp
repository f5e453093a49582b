#include "rename_linux.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace swapcfg {
namespace {

int errnoUnless(bool succeeded) {
    return succeeded ? 0 : errno;
}

// The file system cannot do this call at all, as opposed to refusing it for these files.
bool unsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

class SystemRenameCalls final : public RenameCalls {
  public:
    int renameNoReplace(const char* from, const char* to) override {
        return errnoUnless(::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0);
    }
    int link(const char* from, const char* to) override {
        return errnoUnless(::link(from, to) == 0);
    }
    int unlink(const char* path) override { return errnoUnless(::unlink(path) == 0); }
    int lstat(const char* path) override {
        struct stat info {};
        return errnoUnless(::lstat(path, &info) == 0);
    }
    int rename(const char* from, const char* to) override {
        return errnoUnless(::rename(from, to) == 0);
    }
};

RenameResult resultOf(int error) {
    if (error == 0) {
        return RenameResult::Renamed;
    }
    return error == EEXIST ? RenameResult::TargetTaken : RenameResult::Failed;
}

RenameResult renameIfFree(RenameCalls& calls, const char* from, const char* to) {
    const int present = calls.lstat(to);
    if (present == 0) {
        return RenameResult::TargetTaken;
    }
    if (present != ENOENT) {
        return RenameResult::Failed;
    }
    return resultOf(calls.rename(from, to));
}

}  // namespace

RenameCalls& systemRenameCalls() {
    static SystemRenameCalls calls;
    return calls;
}

RenameResult renameWithoutReplacing(RenameCalls& calls, const char* from, const char* to) {
    const int renamed = calls.renameNoReplace(from, to);
    if (!unsupported(renamed)) {
        return resultOf(renamed);
    }
    const int linked = calls.link(from, to);
    if (linked == 0) {
        calls.unlink(from);
        return RenameResult::Renamed;
    }
    // EPERM: "the file system does not support the creation of hard links".
    if (linked == EPERM || unsupported(linked)) {
        return renameIfFree(calls, from, to);
    }
    return resultOf(linked);
}

}  // namespace swapcfg
