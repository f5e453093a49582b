// hold_file PATH MILLISECONDS [CHANGE]: keeps PATH open for a while, then lets go. Creates
// PATH.held once it holds the file.
// - Without CHANGE it shares nothing, as a game or a virus scanner might.
// - With CHANGE (a file whose bytes it writes), it holds PATH open for writing and shares
//   reading and writing but not deletion, as an editor or a sync tool that saves in place
//   does. Once a temporary file PATH.*.tmp appears, it waits MILLISECONDS (by then the
//   program that made it has tried to put it in PATH's place, and found PATH held), writes
//   CHANGE's bytes into PATH, and holds it for MILLISECONDS more.
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "unique_handle_win.h"

namespace {

constexpr DWORD kPollMs = 1;
constexpr DWORD kWaitForTemporaryMs = 20000;

bool temporaryFileBeside(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((path + L".*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::FindClose(search);
    return true;
}

bool writeChange(HANDLE file, const wchar_t* changeFile) {
    std::ifstream in(changeFile, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    DWORD written = 0;
    return ::SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0 &&
           ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           ::SetEndOfFile(file);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3 && argc != 4) {
        return 2;
    }
    const bool changes = argc == 4;
    const velmora::UniqueHandle file(
        ::CreateFileW(argv[1], changes ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                      changes ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return 1;
    }
    const std::wstring marker = std::wstring(argv[1]) + L".held";
    // Shared for deletion: the test deletes it as soon as it sees it, maybe before it is closed.
    velmora::UniqueHandle(::CreateFileW(marker.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (changes) {
        for (DWORD waited = 0; !temporaryFileBeside(argv[1]); waited += kPollMs) {
            if (waited > kWaitForTemporaryMs) {
                return 3;
            }
            ::Sleep(kPollMs);
        }
        ::Sleep(static_cast<DWORD>(std::stoul(argv[2])));
        if (!writeChange(file.get(), argv[3])) {
            return 4;
        }
    }
    ::Sleep(static_cast<DWORD>(std::stoul(argv[2])));
    return 0;
}
