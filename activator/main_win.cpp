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

// Loads Common Controls 6, which the manifest asks for, so the buttons get visual styles.
// Loaded here, once the DLL search is limited, not imported: Windows resolves a load-time
// import, and that DLL's own imports, before the program's first line, with the program's
// folder ahead of System32 (Dynamic-Link Library Search Order), and comctl32.dll is no
// KnownDLL. The manifest's activation context still takes the name to version 6.
void initCommonControls(bool searchLimited) {
    const HMODULE commonControls =
        searchLimited ? ::LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)
                      : ::LoadLibraryW(L"comctl32.dll");
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto initCommonControlsEx =
        commonControls == nullptr
            ? nullptr
            : reinterpret_cast<InitCommonControlsExFn>(reinterpret_cast<void*>(
                  ::GetProcAddress(commonControls, "InitCommonControlsEx")));
    if (initCommonControlsEx != nullptr) {
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
        initCommonControlsEx(&controls);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    initCommonControls(velmora::loadDllsFromSystem32Only());
    velmora::WindowMessageBoxes boxes;
    velmora::frmMain form(velmora::platformFileSystem(), boxes,
                          velmora::applicationDirectoryOf(runningExecutablePath()));
    return velmora::runFrmMain(instance, form, boxes, showCommand);
}
