#include "frmMain_win.h"

#include <array>
#include <utility>

#include "dpi_win.h"
#include "resource_ids.h"
#include "unique_handle_win.h"
#include "window_message_boxes_win.h"

namespace velmora {
namespace {

constexpr wchar_t kClassName[] = L"frmMain";
constexpr wchar_t kCaption[] = L"QOX Bot Activator";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = 0;

// Sizes in pixels at 96 DPI.
constexpr int kClientWidth = 232;
constexpr int kClientHeight = 54;

struct ButtonLayout {
    int id;
    const wchar_t* caption;
    RECT bounds;  // left, top, right, bottom
};

enum ControlId : int { kCmdMit = 101, kCmdOhne = 102 };

// In tab order: Activate first.
constexpr std::array<ButtonLayout, 2> kButtons = {{
    {kCmdMit, L"&Activate Bots", {4, 12, 4 + 109, 12 + 29}},
    {kCmdOhne, L"&Deactivate Bots", {120, 12, 120 + 109, 12 + 29}},
}};

// Everything the window needs between messages; attached to it as GWLP_USERDATA.
struct WindowState {
    WindowState(frmMain& f, WindowMessageBoxes& b) : form(f), boxes(b) {}

    frmMain& form;
    WindowMessageBoxes& boxes;
    HWND window = nullptr;
    std::array<HWND, kButtons.size()> buttons{};
    UniqueFont font;
    HWND focusWhenInactive = nullptr;
    bool commandRan = false;
    int exitCode = 0;
};

WindowState* stateOf(HWND window) {
    return reinterpret_cast<WindowState*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void layOut(WindowState& state, UINT dpi) {
    // The old font stays alive until the buttons have been given the new one.
    const LOGFONTW logFont = messageFontFor(dpi);
    UniqueFont font(::CreateFontIndirectW(&logFont));
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        const RECT& r = kButtons[i].bounds;
        ::SetWindowPos(state.buttons[i], nullptr, scaled(r.left, dpi), scaled(r.top, dpi),
                       scaled(r.right - r.left, dpi), scaled(r.bottom - r.top, dpi),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageW(state.buttons[i], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    state.font = std::move(font);
}

// The window's frame: the design's client area at `dpi`, centred in the work area of
// `monitor`.
RECT centredFrame(HMONITOR monitor, UINT dpi) {
    const SIZE size = windowSizeForClient(kClientWidth, kClientHeight, kStyle, kExStyle, dpi);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ::GetMonitorInfoW(monitor, &info);
    const RECT& area = info.rcWork;
    const int left = area.left + (area.right - area.left - size.cx) / 2;
    const int top = area.top + (area.bottom - area.top - size.cy) / 2;
    return RECT{left, top, left + size.cx, top + size.cy};
}

void attachState(HWND window, const CREATESTRUCTW& create) {
    auto* state = static_cast<WindowState*>(create.lpCreateParams);
    state->window = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
}

// The program's icon at the size the system shows it, its own image for that size. (With
// LR_SHARED, LoadImageW hands out the first image it has cached under the name, whatever the
// size asked: the caption would show the large one shrunk.)
UniqueIcon programIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return UniqueIcon(static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_VELMORA),
                                                      IMAGE_ICON, ::GetSystemMetrics(widthMetric),
                                                      ::GetSystemMetrics(heightMetric), 0)));
}

// The class's icons, which live as long as its window may show them.
struct ClassIcons {
    UniqueIcon large;
    UniqueIcon small;
};

LRESULT onCreate(WindowState& state, const CREATESTRUCTW& create) {
    if (!state.form.Form_Load()) {
        state.exitCode = 1;
        return -1;  // the window is never shown, and CreateWindowExW fails
    }
    for (std::size_t i = 0; i < kButtons.size(); ++i) {
        state.buttons[i] = ::CreateWindowExW(
            0, L"BUTTON", kButtons[i].caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
            0, 0, 0, 0, state.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtons[i].id)),
            create.hInstance, nullptr);
    }
    layOut(state, dpiOf(state.window));
    return 0;
}

void runCommand(WindowState& state, bool (frmMain::*command)()) {
    // One command per start: a second press while the first one's box is up does nothing.
    if (state.commandRan) {
        return;
    }
    state.commandRan = true;
    state.boxes.setOwner(state.window);
    state.exitCode = (state.form.*command)() ? 0 : 1;
    ::DestroyWindow(state.window);
}

void pressFocusedButton(WindowState& state) {
    const HWND focus = ::GetFocus();
    for (const HWND button : state.buttons) {
        if (button == focus) {
            ::SendMessageW(button, BM_CLICK, 0, 0);
            return;
        }
    }
}

LRESULT onCommand(WindowState& state, int id, int notification) {
    switch (id) {
        case kCmdMit:
            if (notification == BN_CLICKED) {
                runCommand(state, &frmMain::cmdMit_Click);
            }
            return 0;
        case kCmdOhne:
            if (notification == BN_CLICKED) {
                runCommand(state, &frmMain::cmdOhne_Click);
            }
            return 0;
        case IDOK:  // Enter, from the dialog keyboard handling of the message loop
            pressFocusedButton(state);
            return 0;
        case IDCANCEL:  // Esc closes the window without writing anything
            ::DestroyWindow(state.window);
            return 0;
        default:
            return 0;
    }
}

// The button that had the focus when the window was last active, or the first one.
void restoreFocus(const WindowState& state) {
    ::SetFocus(state.focusWhenInactive != nullptr ? state.focusWhenInactive : state.buttons[0]);
}

LRESULT onActivate(WindowState& state, WPARAM activation) {
    // Keep the keyboard focus on the button that had it when the window comes back.
    if (LOWORD(activation) == WA_INACTIVE) {
        state.focusWhenInactive = ::GetFocus();
        return 0;
    }
    // A minimized window gets no focus (as DefWindowProc does it), so that a key pressed then
    // reaches no button the user cannot see; onSize gives it once the window is restored.
    if (HIWORD(activation) != 0) {
        return 0;
    }
    restoreFocus(state);
    return 0;
}

LRESULT onSize(const WindowState& state, WPARAM kind) {
    if (kind == SIZE_RESTORED && ::GetActiveWindow() == state.window && ::GetFocus() == nullptr) {
        restoreFocus(state);
    }
    return 0;
}

LRESULT onDpiChanged(WindowState& state, WPARAM dpi, const RECT& suggested) {
    ::SetWindowPos(state.window, nullptr, suggested.left, suggested.top,
                   suggested.right - suggested.left, suggested.bottom - suggested.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    layOut(state, HIWORD(dpi));
    return 0;
}

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        attachState(window, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    WindowState* state = stateOf(window);
    if (state == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    switch (message) {
        case WM_CREATE:
            return onCreate(*state, *reinterpret_cast<const CREATESTRUCTW*>(lParam));
        case WM_COMMAND:
            return onCommand(*state, LOWORD(wParam), HIWORD(wParam));
        case WM_ACTIVATE:
            return onActivate(*state, wParam);
        case WM_SIZE:
            return onSize(*state, wParam);
        case WM_DPICHANGED:
            return onDpiChanged(*state, wParam, *reinterpret_cast<const RECT*>(lParam));
        case WM_DESTROY:
            // The exit code is read from the state once the loop has ended: a WM_CLOSE that
            // comes while a command's box is up ends the loop before the command is done.
            ::PostQuitMessage(0);
            return 0;
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// The class's icons are the window's too: the caption, the taskbar and Alt+Tab take them
// from the class of a window that sets none of its own.
bool registerWindowClass(HINSTANCE instance, const ClassIcons& icons) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icons.large.get();
    windowClass.hIconSm = icons.small.get();
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    return ::RegisterClassExW(&windowClass) != 0;
}

// False when the loop could not go on.
bool runMessageLoop(HWND window) {
    MSG message{};
    BOOL got = FALSE;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) != 0) {
        if (got == -1) {
            return false;
        }
        // Gives the window a dialog's keyboard: Tab, Enter, Esc and the Alt access keys; not
        // while it is minimized, when no button can be seen.
        if (::IsWindow(window) && !::IsIconic(window) && ::IsDialogMessageW(window, &message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return true;
}

}  // namespace

int runFrmMain(HINSTANCE instance, frmMain& form, WindowMessageBoxes& boxes, int showCommand) {
    const ClassIcons icons{programIcon(instance, SM_CXICON, SM_CYICON),
                           programIcon(instance, SM_CXSMICON, SM_CYSMICON)};
    if (!registerWindowClass(instance, icons)) {
        return 1;
    }
    WindowState state(form, boxes);
    // Made at its final size and place, on the primary monitor at the system DPI, so that
    // nothing moves before it shows ...
    const UINT dpi = systemDpi();
    const RECT frame = centredFrame(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), dpi);
    const HWND window = ::CreateWindowExW(
        kExStyle, kClassName, kCaption, kStyle, frame.left, frame.top, frame.right - frame.left,
        frame.bottom - frame.top, nullptr, nullptr, instance, &state);
    if (window == nullptr) {
        return state.exitCode != 0 ? state.exitCode : 1;
    }
    // ... unless that monitor's DPI has changed since the user logged on.
    if (const UINT actualDpi = dpiOf(window); actualDpi != dpi) {
        const RECT moved =
            centredFrame(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), actualDpi);
        ::SetWindowPos(window, nullptr, moved.left, moved.top, moved.right - moved.left,
                       moved.bottom - moved.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::ShowWindow(window, showCommand);
    ::UpdateWindow(window);
    if (!::IsIconic(window)) {
        ::SetFocus(state.buttons[0]);
    }
    return runMessageLoop(window) ? state.exitCode : 1;
}

}  // namespace velmora
