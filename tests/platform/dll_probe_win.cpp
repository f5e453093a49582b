// dll_probe WHOSE NAME: runs the start-up call of Velmora or swapcfg (WHOSE is "velmora",
// "swapcfg" or "none"), then loads the DLL NAME by its bare name. Exits with 0 when it
// loaded, 1 when it did not.
#include <windows.h>

#include <string_view>

#include "activator/dll_search_win.h"
#include "switcher/dll_search_win.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    const std::wstring_view whose = argv[1];
    if (whose == L"velmora") {
        velmora::loadDllsFromSystem32Only();
    } else if (whose == L"swapcfg") {
        swapcfg::loadDllsFromSystem32Only();
    }
    return ::LoadLibraryW(argv[2]) != nullptr ? 0 : 1;
}
