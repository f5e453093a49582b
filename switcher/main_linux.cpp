// swapcfg MODE PREFIX: swaps the game's configuration files with their bot variants (1) or
// puts the backups back (2). Prints nothing; the exit status is always 0, also when memory
// runs out (in the lean release, lean_runtime.cpp ends the run before the handler is asked).
#include <cstdlib>
#include <new>
#include <vector>

#include "swapcfg.h"

int main(int argc, char** argv) {
    std::set_new_handler([] { std::_Exit(0); });
    const std::vector<swapcfg::NativeString> arguments(argv, argv + argc);
    return swapcfg::run(swapcfg::platformFileOps(), arguments);
}
