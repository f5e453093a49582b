// A rename that never replaces an existing file, on Linux file systems with and without the
// means to do it in one step.
#pragma once

#include "file_ops.h"

namespace swapcfg {

// The system calls such a rename is built from; each returns 0 or an errno value. Behind an
// interface so that the fallbacks for file systems that lack a call can be tested anywhere.
class RenameCalls {
  public:
    virtual ~RenameCalls() = default;
    virtual int renameNoReplace(const char* from, const char* to) = 0;  // renameat2
    virtual int link(const char* from, const char* to) = 0;
    virtual int unlink(const char* path) = 0;
    virtual int lstat(const char* path) = 0;
    virtual int rename(const char* from, const char* to) = 0;
};

RenameCalls& systemRenameCalls();

// Renames in one step where the file system can (renameat2 with RENAME_NOREPLACE); else
// links the new name and unlinks the old (a link fails as well when the name is taken);
// where the file system has no hard links either (SMB shares, some FUSE and NTFS mounts),
// renames only after making sure the new name is free. No run of ours can come between
// the check and the rename: runs on one folder take turns.
RenameResult renameWithoutReplacing(RenameCalls& calls, const char* from, const char* to);

}  // namespace swapcfg
