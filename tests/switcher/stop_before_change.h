// A swapcfg that ends itself at once right before its Nth change to the folder, as a run
// killed at that moment would end, for the tests that run the program again afterwards.
#pragma once

#include <vector>

#include "file_ops.h"

namespace swapcfg {

// The exit status when the run was ended before the change it was told; a run that had
// fewer changes to make ends as swapcfg does, with 0.
inline constexpr int kEndedBeforeTheChange = 3;

// Arguments: the program's name, the number of the change to end before (from 1), and then
// swapcfg's own: mode and prefix.
int runEndingBeforeChange(const std::vector<NativeString>& arguments);

}  // namespace swapcfg
