// The message boxes the activator shows, behind an interface so that its logic can be run
// without a window system. Each box is modal: the call returns when the user dismissed it.
#pragma once

#include <string_view>

#include "descriptor_check.h"
#include "file_error.h"

namespace velmora {

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;

    // Title "Error" and the stop icon.
    virtual void showError(std::string_view text) = 0;

    // Title "Error" and the stop icon; the text names the file and the system's reason.
    virtual void showFileError(const FileError& error) = 0;

    // Title "Error" and the stop icon; the text says why the descriptor was left as it is.
    virtual void showRefusal(const Refusal& refusal) = 0;

    // An empty title and no icon.
    virtual void showSuccess(std::string_view text) = 0;
};

}  // namespace velmora
