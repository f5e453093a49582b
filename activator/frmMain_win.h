// frmMain as a Win32 window: creates the window and its buttons, calls the handlers of
// frmMain.h when it loads and when a button is pressed, runs the message loop and returns
// the program's exit code when the window is gone.
#pragma once

#include <windows.h>

#include "frmMain.h"

namespace velmora {

class WindowMessageBoxes;

int runFrmMain(HINSTANCE instance, frmMain& form, WindowMessageBoxes& boxes, int showCommand);

}  // namespace velmora
