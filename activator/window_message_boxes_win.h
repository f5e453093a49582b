#pragma once

#include <windows.h>

#include "message_boxes.h"

namespace velmora {

// Modal MessageBoxW boxes, owned by the main window once it exists.
class WindowMessageBoxes final : public MessageBoxes {
  public:
    void setOwner(HWND owner) { owner_ = owner; }

    void showError(std::string_view text) override;
    void showFileError(const FileError& error) override;
    void showRefusal(const Refusal& refusal) override;
    void showSuccess(std::string_view text) override;

  private:
    void show(const NativeString& text, const wchar_t* title, UINT icon);

    HWND owner_ = nullptr;
};

}  // namespace velmora
