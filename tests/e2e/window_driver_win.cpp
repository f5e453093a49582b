#include "window_driver_win.h"

#include <tlhelp32.h>

#include <array>
#include <chrono>
#include <stdexcept>
#include <vector>

namespace e2e {
namespace {

constexpr auto kTimeout = std::chrono::seconds(20);
constexpr DWORD kPollMs = 20;

template <typename Found>
auto pollUntil(Found found) -> decltype(found()) {
    const auto deadline = std::chrono::steady_clock::now() + kTimeout;
    for (;;) {
        if (auto result = found()) {
            return result;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            return {};
        }
        ::Sleep(kPollMs);
    }
}

std::wstring classOf(HWND window) {
    std::array<wchar_t, 256> name{};
    ::GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return name.data();
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && ::IsWindowVisible(window) &&
        classOf(window) == search.className) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

std::vector<HWND> childrenOf(HWND window) {
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

void sendKeys(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> inputs;
    for (const auto& [key, up] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

}  // namespace

RunningProgram::RunningProgram(const std::filesystem::path& executable,
                               std::optional<WORD> showCommand) {
    std::wstring commandLine = L"\"" + executable.native() + L"\"";
    const std::wstring directory = executable.parent_path().native();
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (showCommand) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = *showCommand;
    }
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(executable.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, directory.c_str(), &startup, &process)) {
        throw std::runtime_error("cannot start " + executable.string());
    }
    const velmora::UniqueHandle thread(process.hThread);
    process_.reset(process.hProcess);
    processId_ = process.dwProcessId;
    threadId_ = process.dwThreadId;
}

RunningProgram::~RunningProgram() {
    if (::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 99);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

HWND RunningProgram::waitForWindow(const wchar_t* className) const {
    return pollUntil([&] { return findWindow(className); });
}

HWND RunningProgram::findWindow(const wchar_t* className) const {
    WindowSearch search{processId_, className, nullptr};
    ::EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::optional<DWORD> RunningProgram::waitForExit() const {
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(kTimeout).count();
    if (::WaitForSingleObject(process_.get(), static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

std::filesystem::path RunningProgram::loadedModule(const std::wstring& name) const {
    const velmora::UniqueHandle modules(
        ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, processId_));
    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    for (BOOL more = ::Module32FirstW(modules.get(), &module); more;
         more = ::Module32NextW(modules.get(), &module)) {
        if (::lstrcmpiW(module.szModule, name.c_str()) == 0) {
            return module.szExePath;
        }
    }
    return {};
}

std::wstring textOf(HWND window) {
    std::array<wchar_t, 4096> text{};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                          SMTO_ABORTIFHUNG, 5000, &length);
    return std::wstring(text.data(), length);
}

BoxContent readMessageBox(HWND box) {
    BoxContent content;
    content.title = textOf(box);
    for (const HWND child : childrenOf(box)) {
        if (classOf(child) != L"Static" || !::IsWindowVisible(child)) {
            continue;
        }
        const LONG_PTR style = ::GetWindowLongPtrW(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON) {
            const auto icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
            content.hasIcon = icon != nullptr;
            continue;
        }
        const std::wstring text = textOf(child);
        if (!text.empty()) {
            content.text = text;
        }
    }
    return content;
}

void pressOk(HWND box) {
    ::PostMessageW(::GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

RECT boundsInParent(HWND window) {
    RECT bounds{};
    ::GetWindowRect(window, &bounds);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
}

HWND focusOf(DWORD threadId) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(threadId, &info);
    return info.hwndFocus;
}

void bringToFront(HWND window) {
    ::SetForegroundWindow(window);
    pollUntil([&] { return ::GetForegroundWindow() == window; });
}

void typeAltKey(wchar_t letter) {
    const auto key = static_cast<WORD>(letter);
    sendKeys({{VK_MENU, false}, {key, false}, {key, true}, {VK_MENU, true}});
}

void typeKey(WORD virtualKey) {
    sendKeys({{virtualKey, false}, {virtualKey, true}});
}

}  // namespace e2e
