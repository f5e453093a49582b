// swapcfg MODE PREFIX: swaps the game's configuration files with their bot variants (1) or
// puts the backups back (2). Prints nothing; the exit status is always 0. The arguments are
// read as UTF-16, so a prefix outside the ANSI code page works, and a quoted folder with its
// closing backslash ("%~dp0" in a batch file) names the folder. Running out of memory ends
// the run with status 0 too (lean_runtime.cpp).
#include <vector>

#include "dll_search_win.h"
#include "swapcfg.h"

int wmain(int argc, wchar_t** argv) {
    swapcfg::loadDllsFromSystem32Only();
    std::vector<swapcfg::NativeString> arguments(argv, argv + argc);
    if (arguments.size() == 3) {
        arguments[2] = swapcfg::prefixFromWindowsArgument(std::move(arguments[2]));
    }
    return swapcfg::run(swapcfg::platformFileOps(), arguments);
}
