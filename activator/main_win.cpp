// Velmora: switches the QOX game between its normal library and the one with bots.
#include <windows.h>

#include <commctrl.h>

#include "dll_search_win.h"
#include "file_system.h"
#include "frmMain.h"
#include "frmMain_win.h"
#include "game_directory.h"
#include "window_message_boxes_win.h"

namespace {

// The full path of this program's executable, however long it is.
velmora::NativeString runningExecutablePath() {
    velmora::NativeString path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    velmora::loadDllsFromSystem32Only();
    // Loads Common Controls 6, which the manifest asks for, so the buttons get visual styles.
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    velmora::WindowMessageBoxes boxes;
    velmora::frmMain form(velmora::platformFileSystem(), boxes,
                          velmora::applicationDirectoryOf(runningExecutablePath()));
    return velmora::runFrmMain(instance, form, boxes, showCommand);
}
