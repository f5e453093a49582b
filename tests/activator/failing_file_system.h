// The platform's file system with one step made to fail, for the failure paths of a rewrite.
#pragma once

#include <memory>

#include "file_system.h"

namespace velmora {

inline constexpr int kInjectedErrorCode = 28;  // ENOSPC on Linux; the value only has to travel

class FailingFileSystem final : public FileSystem {
  public:
    FailingFileSystem(FileSystem& real, FileOp failing) : real_(real), failing_(failing) {}

    bool isRegularFile(const NativeString& path) override { return real_.isRegularFile(path); }

    FileResult readAtMost(const NativeString& path, std::size_t limit,
                          std::string& bytes) override {
        return failing_ == FileOp::Read ? injected(FileOp::Read, path)
                                        : real_.readAtMost(path, limit, bytes);
    }

    FileResult checkRewritable(const NativeString& path, CarriedAttributes& carried) override {
        return failing_ == FileOp::CheckRewritable ? injected(FileOp::CheckRewritable, path)
                                                   : real_.checkRewritable(path, carried);
    }

    FileResult createNew(const NativeString& path, CarriedAttributes carried,
                         std::unique_ptr<WritableFile>& file) override {
        if (failing_ == FileOp::CreateNew) {
            return injected(FileOp::CreateNew, path);
        }
        std::unique_ptr<WritableFile> realFile;
        if (auto error = real_.createNew(path, carried, realFile)) {
            return error;
        }
        file = std::make_unique<FailingFile>(std::move(realFile), failing_);
        return std::nullopt;
    }

    FileResult replace(const NativeString& source, const NativeString& target) override {
        return failing_ == FileOp::Replace ? injected(FileOp::Replace, target)
                                           : real_.replace(source, target);
    }

    void remove(const NativeString& path) override { real_.remove(path); }

    void pauseWhileBusy() override { real_.pauseWhileBusy(); }

  private:
    // Errors name the path the step worked on, as the platform's do.
    static FileResult injected(FileOp op, const NativeString& path) {
        return FileError{op, path, kInjectedErrorCode};
    }

    class FailingFile final : public WritableFile {
      public:
        FailingFile(std::unique_ptr<WritableFile> real, FileOp failing)
            : real_(std::move(real)), failing_(failing) {}
        const NativeString& path() const override { return real_->path(); }
        FileResult write(std::string_view bytes) override {
            // Part of the content reaches the file before the failure, as on a full disk.
            if (failing_ == FileOp::Write) {
                (void)real_->write(bytes.substr(0, bytes.size() / 2));
                return injected(FileOp::Write, path());
            }
            return real_->write(bytes);
        }
        FileResult flush() override {
            return failing_ == FileOp::Flush ? injected(FileOp::Flush, path()) : real_->flush();
        }
        FileResult close() override {
            return failing_ == FileOp::Close ? injected(FileOp::Close, path()) : real_->close();
        }

      private:
        std::unique_ptr<WritableFile> real_;
        FileOp failing_;
    };

    FileSystem& real_;
    FileOp failing_;
};

}  // namespace velmora
