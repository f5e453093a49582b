// hold_file PATH MILLISECONDS: keeps PATH open without sharing for a while, as a game or a
// virus scanner might, then lets go. Creates PATH.held once it holds the file.
#include <windows.h>

#include <string>

#include "unique_handle_win.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    const velmora::UniqueHandle file(::CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return 1;
    }
    const std::wstring marker = std::wstring(argv[1]) + L".held";
    velmora::UniqueHandle(::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    ::Sleep(static_cast<DWORD>(std::stoul(argv[2])));
    return 0;
}
