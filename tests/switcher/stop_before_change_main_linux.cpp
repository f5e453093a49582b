#include "stop_before_change.h"

int main(int argc, char** argv) {
    return swapcfg::runEndingBeforeChange(std::vector<swapcfg::NativeString>(argv, argv + argc));
}
