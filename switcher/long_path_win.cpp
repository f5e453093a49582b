#include "long_path_win.h"

#include <windows.h>

namespace swapcfg {

NativeString longPathForm(const NativeString& path) {
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) {
        return path;
    }
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    NativeString full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (size == 0 || length == 0 || length >= size) {
        return path;
    }
    full.resize(length);
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + NativeString(full.begin() + 2, full.end());
    }
    return full.size() >= 2 && full[1] == L':' ? L"\\\\?\\" + full : full;
}

}  // namespace swapcfg
