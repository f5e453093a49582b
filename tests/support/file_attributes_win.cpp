#include <windows.h>

#include <stdexcept>

#include "file_attributes.h"

namespace testing_support {
namespace {

class OpenWithoutSharing final : public FileLock {
public:
    explicit OpenWithoutSharing(const std::filesystem::path& path)
        : handle_(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (handle_ == INVALID_HANDLE_VALUE) {
            throw std::runtime_error("cannot hold " + path.string() + " open");
        }
    }
    OpenWithoutSharing(const OpenWithoutSharing&) = delete;
    OpenWithoutSharing& operator=(const OpenWithoutSharing&) = delete;
    ~OpenWithoutSharing() override { ::CloseHandle(handle_); }

private:
    HANDLE handle_;
};

void addAttributes(const std::filesystem::path& path, DWORD added) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    ::SetFileAttributesW(path.c_str(), (attributes & ~FILE_ATTRIBUTE_NORMAL) | added);
}

}  // namespace

void makeReadOnly(const std::filesystem::path& path) { addAttributes(path, FILE_ATTRIBUTE_READONLY); }

void markHidden(const std::filesystem::path& path) { addAttributes(path, FILE_ATTRIBUTE_HIDDEN); }

bool isMarkedHidden(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

void clearProtection(const std::filesystem::path& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

std::unique_ptr<FileLock> lockAgainstChanges(const std::filesystem::path& path) {
    return std::make_unique<OpenWithoutSharing>(path);
}

}  // namespace testing_support
