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

}  // namespace

FileResult rewriteFile(FileSystem& files, const NativeString& path, std::string_view bytes) {
    FileTraits traits;
    if (auto error = files.traitsForRewrite(path, traits)) {
        return error;
    }
    std::unique_ptr<WritableFile> created;
    if (auto error = files.createTempBeside(path, traits, created)) {
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
    if (auto error = files.replace(temp.file().path(), path)) {
        return error;
    }
    temp.keep();
    return std::nullopt;
}

}  // namespace velmora
