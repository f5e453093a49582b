// Sizes that follow the DPI of the monitor a window is on. The per-monitor functions exist
// from Windows 10 on; on older systems the system DPI is used instead.
#pragma once

#include <windows.h>

namespace velmora {

// The DPI of the window's monitor (96 means 100 %).
UINT dpiOf(HWND window);

// The system DPI: the primary monitor's when the user logged on.
UINT systemDpi();

// `pixels` at 96 DPI, scaled to `dpi`.
int scaled(int pixels, UINT dpi);

// The window size whose client area is `clientWidth` x `clientHeight` at `dpi`.
SIZE windowSizeForClient(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, UINT dpi);

// The system's message font at `dpi`.
LOGFONTW messageFontFor(UINT dpi);

}  // namespace velmora
