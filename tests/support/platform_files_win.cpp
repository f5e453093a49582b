#include <windows.h>

#include <functional>

#include "held_file_win.h"
#include "platform_files.h"
#include "unique_handle_win.h"

namespace testing_support {
namespace {

// Held far longer than any test runs, and let go when the lock goes.
constexpr int kHoldForAsLongAsNeededMs = 600'000;

class HeldByAnotherProcess final : public FileLock {
  public:
    explicit HeldByAnotherProcess(const std::filesystem::path& path)
        : held_(path, kHoldForAsLongAsNeededMs) {}
    HeldByAnotherProcess(const HeldByAnotherProcess&) = delete;
    HeldByAnotherProcess& operator=(const HeldByAnotherProcess&) = delete;
    HeldByAnotherProcess(HeldByAnotherProcess&&) = delete;
    HeldByAnotherProcess& operator=(HeldByAnotherProcess&&) = delete;
    ~HeldByAnotherProcess() override { held_.letGo(); }

  private:
    HeldFile held_;
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type none() { return INVALID_HANDLE_VALUE; }
    static bool owns(Type search) { return search != INVALID_HANDLE_VALUE; }
    static void release(Type search) { ::FindClose(search); }
};
using UniqueFindHandle = velmora::UniqueResource<FindHandleTraits>;

void addAttributes(const std::filesystem::path& path, DWORD added) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    ::SetFileAttributesW(path.c_str(), (attributes & ~FILE_ATTRIBUTE_NORMAL) | added);
}

}  // namespace

void makeReadOnly(const std::filesystem::path& path) {
    addAttributes(path, FILE_ATTRIBUTE_READONLY);
}

void setCarriedAttribute(const std::filesystem::path& path) {
    addAttributes(path, FILE_ATTRIBUTE_HIDDEN);
}

bool hasCarriedAttribute(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

void clearProtection(const std::filesystem::path& path) {
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

std::unique_ptr<FileLock> lockAgainstChanges(const std::filesystem::path& path) {
    return std::make_unique<HeldByAnotherProcess>(path);
}

const int kBusyCode = ERROR_ACCESS_DENIED;

std::vector<std::filesystem::path> otherTemporaryFolders() {
    std::vector<std::filesystem::path> folders;
    for (const wchar_t* variable : {L"PUBLIC", L"SystemRoot"}) {
        std::wstring value(32768, L'\0');
        value.resize(
            ::GetEnvironmentVariableW(variable, value.data(), static_cast<DWORD>(value.size())));
        if (!value.empty()) {
            folders.emplace_back(variable == std::wstring(L"SystemRoot") ? value + L"\\Temp"
                                                                         : value);
        }
    }
    return folders;
}

std::filesystem::path anyLengthForm(const std::filesystem::path& path) {
    const std::wstring& text = path.native();
    if (text.starts_with(L"\\\\?\\") || !path.is_absolute()) {
        return path;
    }
    return std::filesystem::path(L"\\\\?\\" + text);
}

std::vector<std::string> entriesBelow(const std::filesystem::path& directory) {
    std::vector<std::string> entries;
    const std::function<void(const std::wstring&, const std::wstring&)> walk =
        [&](const std::wstring& absolute, const std::wstring& relative) {
            WIN32_FIND_DATAW found{};
            const UniqueFindHandle search(::FindFirstFileW((absolute + L"\\*").c_str(), &found));
            if (!search) {
                return;
            }
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") {
                    continue;
                }
                const std::wstring path = relative.empty() ? name : relative + L"/" + name;
                const bool isDirectory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                const std::u8string utf8 = std::filesystem::path(path).u8string();
                entries.emplace_back(std::string(utf8.begin(), utf8.end()) +
                                     (isDirectory ? "/" : ""));
                if (isDirectory) {
                    walk(absolute + L"\\" + name, path);
                }
            } while (::FindNextFileW(search.get(), &found));
        };
    walk(anyLengthForm(directory).native(), L"");
    return entries;
}

}  // namespace testing_support
