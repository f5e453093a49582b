// The activator's file layer on Linux, where the logic is built and tested natively.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <memory>
#include <thread>
#include <utility>

#include "file_system.h"
#include "unique_fd_linux.h"

namespace velmora {
namespace {

FileError errorFrom(FileOp op, const NativeString& path, int code = errno) {
    return FileError{op, path, code};
}

NativeString directoryOf(const NativeString& path) {
    const auto slash = path.rfind('/');
    if (slash == NativeString::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

class LinuxWritableFile final : public WritableFile {
  public:
    LinuxWritableFile(NativeString path, UniqueFd fd)
        : path_(std::move(path)), fd_(std::move(fd)) {}

    const NativeString& path() const override { return path_; }

    FileResult write(std::string_view bytes) override {
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_.get(), bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                return errorFrom(FileOp::Write, path_, written < 0 ? errno : ENOSPC);
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return std::nullopt;
    }

    FileResult flush() override {
        if (::fsync(fd_.get()) != 0) {
            return errorFrom(FileOp::Flush, path_);
        }
        return std::nullopt;
    }

    FileResult close() override {
        if (::close(fd_.disown()) != 0) {
            return errorFrom(FileOp::Close, path_);
        }
        return std::nullopt;
    }

  private:
    NativeString path_;
    UniqueFd fd_;
};

class LinuxFileSystem final : public FileSystem {
  public:
    bool isRegularFile(const NativeString& path) override {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    }

    FileResult readAtMost(const NativeString& path, std::size_t limit,
                          std::string& bytes) override {
        UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd.valid()) {
            return errorFrom(FileOp::Read, path);
        }
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0) {
            return errorFrom(FileOp::Read, path);
        }
        if (!S_ISREG(info.st_mode)) {
            return errorFrom(FileOp::Read, path, EISDIR);
        }
        bytes.clear();
        std::array<char, std::size_t{64} * 1024> buffer{};
        while (bytes.size() < limit) {
            const ssize_t got =
                ::read(fd.get(), buffer.data(), std::min(buffer.size(), limit - bytes.size()));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got < 0) {
                return errorFrom(FileOp::Read, path);
            }
            if (got == 0) {
                break;
            }
            bytes.append(buffer.data(), static_cast<std::size_t>(got));
        }
        return std::nullopt;
    }

    FileResult checkRewritable(const NativeString& path, CarriedAttributes& carried) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            return errorFrom(FileOp::CheckRewritable, path);
        }
        if (!S_ISREG(info.st_mode)) {
            return errorFrom(FileOp::CheckRewritable, path, EISDIR);
        }
        // A rename would replace a file its owner may not write; refuse it as Windows does
        // for a read-only file, whoever we run as.
        if ((info.st_mode & S_IWUSR) == 0) {
            return errorFrom(FileOp::CheckRewritable, path, EACCES);
        }
        carried.bits = info.st_mode & 07777;
        return std::nullopt;
    }

    FileResult createNew(const NativeString& path, CarriedAttributes carried,
                         std::unique_ptr<WritableFile>& file) override {
        UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (!fd.valid()) {
            return errorFrom(FileOp::CreateNew, path);
        }
        // Set apart from creating it: the process's umask must not narrow the bits.
        if (::fchmod(fd.get(), static_cast<mode_t>(carried.bits)) != 0) {
            const FileError error = errorFrom(FileOp::CreateNew, path);
            ::unlink(path.c_str());
            return error;
        }
        file = std::make_unique<LinuxWritableFile>(path, std::move(fd));
        return std::nullopt;
    }

    FileResult replace(const NativeString& source, const NativeString& target) override {
        if (::rename(source.c_str(), target.c_str()) != 0) {
            return errorFrom(FileOp::Replace, target);
        }
        // Make the new directory entry itself durable.
        UniqueFd directory(::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (directory.valid()) {
            ::fsync(directory.get());
        }
        return std::nullopt;
    }

    void remove(const NativeString& path) override { ::unlink(path.c_str()); }

    void pauseWhileBusy() override { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }
};

}  // namespace

FileSystem& platformFileSystem() {
    static LinuxFileSystem files;
    return files;
}

bool isNameTaken(int code) {
    return code == EEXIST;
}

// Linux locks no file against a rename; EBUSY is its word for a name the system itself is
// using (a mount point), which may be let go.
bool isBusy(int code) {
    return code == EBUSY;
}

std::uint32_t currentProcessId() {
    return static_cast<std::uint32_t>(::getpid());
}

}  // namespace velmora
