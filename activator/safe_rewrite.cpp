#include "safe_rewrite.h"

namespace velmora {
namespace {

// Removes the temporary file unless it has been put in place.
class TempFileGuard {
  public:
    TempFileGuard(FileSystem& files, std::unique_ptr<WritableFile> file)
        : files_(files), file_(std::move(file)) {}
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    TempFileGuard(TempFileGuard&&) = delete;
    TempFileGuard& operator=(TempFileGuard&&) = delete;
    ~TempFileGuard() {
        if (!file_) {
            return;
        }
        const NativeString path = file_->path();
        file_.reset();  // closes it first, so that Windows lets it be deleted
        files_.remove(path);
    }

    WritableFile& file() { return *file_; }
    void keep() { file_.reset(); }

  private:
    FileSystem& files_;
    std::unique_ptr<WritableFile> file_;
};

void appendHex(NativeString& text, std::uint32_t value) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    NativeString digits;
    do {
        digits.insert(digits.begin(), static_cast<NativeChar>(kDigits[value % 16]));
        value /= 16;
    } while (value != 0);
    text += digits;
}

FileResult createTemporaryBeside(FileSystem& files, const NativeString& target,
                                 CarriedAttributes carried, std::unique_ptr<WritableFile>& file) {
    const std::uint32_t processId = currentProcessId();
    FileResult error;
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        error = files.createNew(temporaryNameBeside(target, processId, attempt), carried, file);
        if (!error || !isNameTaken(error->code)) {
            return error;
        }
    }
    return error;
}

// The last look, after everything slow (the write and the flush to disk) is done, and the
// replace right after it. A replace refused because another program holds the file is tried
// again only after another look: a program that holds the file may be writing to it, and
// lets go when it is done. What remains is the moment between a look and a replace that
// succeeds: neither Windows nor Linux can replace a file only while it holds given bytes,
// and a lock on the descriptor would keep the game, swapcfg and editors out of it, so a
// change made within those microseconds is the one that can still be overwritten.
FileResult lookThenReplace(FileSystem& files, const NativeString& temporary,
                           const NativeString& path, std::string_view basis, bool& changed) {
    for (int tries = 1;; ++tries) {
        std::string now;
        // One byte more than the basis is enough to tell whether the file still holds it,
        // and too little to be taken for what it holds instead.
        if (auto error = files.readAtMost(path, basis.size() + 1, now)) {
            return error;
        }
        if (now != basis) {
            changed = true;
            return std::nullopt;
        }
        FileResult error = files.replace(temporary, path);
        if (!error || !isBusy(error->code) || tries == kBusyReplaceTries) {
            return error;
        }
        files.pauseWhileBusy();
    }
}

// The file is replaced only if it still holds `basis`; else `changed` is set.
FileResult rewriteSteps(FileSystem& files, const NativeString& path, std::string_view basis,
                        std::string_view bytes, bool& changed) {
    CarriedAttributes carried;
    if (auto error = files.checkRewritable(path, carried)) {
        return error;
    }
    std::unique_ptr<WritableFile> created;
    if (auto error = createTemporaryBeside(files, path, carried, created)) {
        return error;
    }
    TempFileGuard temp(files, std::move(created));
    if (auto error = temp.file().write(bytes)) {
        return error;
    }
    if (auto error = temp.file().flush()) {
        return error;
    }
    if (auto error = temp.file().close()) {
        return error;
    }
    if (auto error = lookThenReplace(files, temp.file().path(), path, basis, changed)) {
        return error;
    }
    if (!changed) {
        temp.keep();
    }
    return std::nullopt;
}

}  // namespace

NativeString temporaryNameBeside(const NativeString& target, std::uint32_t processId, int attempt) {
    NativeString name = target + nativeFromAscii(".");
    appendHex(name, processId);
    name += nativeFromAscii("-");
    appendHex(name, static_cast<std::uint32_t>(attempt));
    return name + nativeFromAscii(".tmp");
}

RewriteResult rewriteFileUnlessChanged(FileSystem& files, const NativeString& path,
                                       std::string_view basis, std::string_view bytes) {
    RewriteResult result;
    result.error = rewriteSteps(files, path, basis, bytes, result.changed);
    // The user knows the descriptor, not the temporary file a step may have worked on.
    if (result.error) {
        result.error->path = path;
    }
    return result;
}

}  // namespace velmora
