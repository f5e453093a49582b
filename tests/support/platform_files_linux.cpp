#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform_files.h"
#include "unique_fd_linux.h"

namespace testing_support {
namespace {

bool setImmutable(const std::filesystem::path& path, bool immutable) {
    const velmora::UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    int flags = 0;
    if (!file || ::ioctl(file.get(), FS_IOC_GETFLAGS, &flags) != 0) {
        return false;
    }
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    return ::ioctl(file.get(), FS_IOC_SETFLAGS, &flags) == 0;
}

class ImmutableLock final : public FileLock {
  public:
    explicit ImmutableLock(std::filesystem::path path) : path_(std::move(path)) {}
    ImmutableLock(const ImmutableLock&) = delete;
    ImmutableLock& operator=(const ImmutableLock&) = delete;
    ImmutableLock(ImmutableLock&&) = delete;
    ImmutableLock& operator=(ImmutableLock&&) = delete;
    ~ImmutableLock() override { setImmutable(path_, false); }

  private:
    std::filesystem::path path_;
};

}  // namespace

const int kBusyCode = EBUSY;

void makeReadOnly(const std::filesystem::path& path) {
    ::chmod(path.c_str(), 0444);
}

// Not 0600, the mode a rewrite's new file starts with: only carrying the bits over gives it.
constexpr mode_t kCarriedMode = 0640;

void setCarriedAttribute(const std::filesystem::path& path) {
    ::chmod(path.c_str(), kCarriedMode);
}

bool hasCarriedAttribute(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && (info.st_mode & 07777) == kCarriedMode;
}

void clearProtection(const std::filesystem::path& path) {
    setImmutable(path, false);
    ::chmod(path.c_str(), 0755);
}

std::unique_ptr<FileLock> lockAgainstChanges(const std::filesystem::path& path) {
    if (!setImmutable(path, true)) {
        return nullptr;  // only root may set the flag
    }
    return std::make_unique<ImmutableLock>(path);
}

std::vector<std::filesystem::path> otherTemporaryFolders() {
    return {"/tmp", "/var/tmp"};
}

std::filesystem::path anyLengthForm(const std::filesystem::path& path) {
    return path;
}

std::vector<std::string> entriesBelow(const std::filesystem::path& directory) {
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory)) {
        const std::string name = entry.path().lexically_relative(directory).generic_string();
        entries.push_back(entry.is_directory() ? name + "/" : name);
    }
    return entries;
}

}  // namespace testing_support
