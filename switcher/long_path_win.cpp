#include "long_path_win.h"

#include <windows.h>

namespace swapcfg {
namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

// GetFullPathNameW's answer, or nothing where it fails. It is limited to MAX_PATH characters
// for a path not in the long form (Maximum Path Length Limitation), unless long paths are
// enabled in the registry as well as in the manifest, so a longer path is not given to it.
NativeString fullPathName(const NativeString& path) {
    if (path.size() >= MAX_PATH) {
        return {};
    }
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    NativeString full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (size == 0 || length == 0 || length >= size) {
        return {};
    }
    full.resize(length);
    return full;
}

// An absolute path ("C:\..." or "\\server\share\...") as it is, with "\" for "/"; nothing for
// any other path.
NativeString absoluteAsItIs(NativeString path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && isSeparator(path[2]);
    const bool share = path.size() >= 3 && isSeparator(path[0]) && isSeparator(path[1]);
    if (!drive && !share) {
        return {};
    }
    for (wchar_t& c : path) {
        c = isSeparator(c) ? L'\\' : c;
    }
    return path;
}

}  // namespace

NativeString longPathForm(const NativeString& path) {
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\")) {
        return path;
    }
    NativeString full = fullPathName(path);
    if (full.empty()) {
        full = absoluteAsItIs(path);
    }
    if (full.empty()) {
        return path;
    }
    if (full.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + NativeString(full.begin() + 2, full.end());
    }
    return full.size() >= 2 && full[1] == L':' ? L"\\\\?\\" + full : full;
}

}  // namespace swapcfg
