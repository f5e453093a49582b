#include "window_message_boxes_win.h"

#include "error_text.h"

namespace velmora {

void WindowMessageBoxes::showError(std::string_view text) {
    show(nativeFromAscii(text), L"Error", MB_ICONERROR);
}

void WindowMessageBoxes::showFileError(const FileError& error) {
    show(describeFileError(error), L"Error", MB_ICONERROR);
}

void WindowMessageBoxes::showRefusal(const Refusal& refusal) {
    show(describeRefusal(refusal), L"Error", MB_ICONERROR);
}

void WindowMessageBoxes::showSuccess(std::string_view text) {
    show(nativeFromAscii(text), L"", 0);
}

void WindowMessageBoxes::show(const NativeString& text, const wchar_t* title, UINT icon) {
    // Before the window is shown there is no owner; the box must still come to the front.
    const UINT foreground = owner_ == nullptr ? MB_SETFOREGROUND : 0;
    ::MessageBoxW(owner_, text.c_str(), title, MB_OK | icon | foreground);
}

}  // namespace velmora
