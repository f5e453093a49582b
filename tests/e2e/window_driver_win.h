// Drives a running Velmora.exe from outside, as a user would: finds its window and its
// message boxes, reads them, presses their buttons and keys, and waits for it to end.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "unique_handle_win.h"

namespace e2e {

struct BoxContent {
    std::wstring title;
    std::wstring text;
    bool hasIcon = false;
};

class RunningProgram {
  public:
    // Starts the program with its own directory as the working directory; with
    // `showCommand`, as a shortcut whose "Run" setting asks for it (SW_SHOWMINNOACTIVE for
    // "Minimized").
    explicit RunningProgram(const std::filesystem::path& executable,
                            std::optional<WORD> showCommand = std::nullopt);
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;
    ~RunningProgram();  // ends the program if a test left it running

    // The first visible top-level window of the program with this class, or null on timeout.
    HWND waitForWindow(const wchar_t* className) const;
    // The same without waiting.
    HWND findWindow(const wchar_t* className) const;
    HWND waitForMainWindow() const { return waitForWindow(L"frmMain"); }
    HWND waitForMessageBox() const { return waitForWindow(L"#32770"); }

    // The exit code, or nothing if it is still running after the timeout.
    std::optional<DWORD> waitForExit() const;

    DWORD threadId() const { return threadId_; }

    // Where the program loaded the DLL `name` (such as L"comctl32.dll") from; empty if it has
    // not loaded it.
    std::filesystem::path loadedModule(const std::wstring& name) const;

  private:
    velmora::UniqueHandle process_;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
};

BoxContent readMessageBox(HWND box);
void pressOk(HWND box);

std::wstring textOf(HWND window);

// The window's rectangle in its parent's client coordinates.
RECT boundsInParent(HWND window);

// The window that has the keyboard focus on the program's GUI thread.
HWND focusOf(DWORD threadId);

// Types Alt+<letter>, or a plain key, into the foreground window.
void bringToFront(HWND window);
void typeAltKey(wchar_t letter);
void typeKey(WORD virtualKey);

}  // namespace e2e
