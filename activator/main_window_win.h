// The activator's window frmMain on Windows: creates it, runs its message loop and returns
// the program's exit code when it is gone.
#pragma once

#include <windows.h>

#include "frmMain.h"

namespace velmora {

class WindowMessageBoxes;

int runMainWindow(HINSTANCE instance, frmMain& form, WindowMessageBoxes& boxes, int showCommand);

}  // namespace velmora
