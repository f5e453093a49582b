#include "stop_before_change.h"

int wmain(int argc, wchar_t** argv) {
    return swapcfg::runEndingBeforeChange(std::vector<swapcfg::NativeString>(argv, argv + argc));
}
