#include "dll_search_win.h"

#include <windows.h>

namespace swapcfg {

// Looked up rather than imported, so that the program still starts on a Windows 7 that
// lacks the call. kernel32.dll is loaded already: asking for it searches nothing.
bool loadDllsFromSystem32Only() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    return setDefaultDllDirectories != nullptr &&
           setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}

}  // namespace swapcfg
