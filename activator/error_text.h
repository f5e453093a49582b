// Turns a failed file operation into the text of an error box. Only the system's own part
// (its reason for the code) differs between platforms: error_text_win.cpp and
// error_text_linux.cpp.
#pragma once

#include "file_error.h"
#include "native_string.h"

namespace velmora {

// The system's description of an error code, in the user's language where it has one.
NativeString systemReason(int code);

// True for the codes that mean the system refused access rather than that something failed.
bool isAccessDenied(int code);

// Names the operation, the file and the system's reason; for a refused access it adds what
// usually causes it.
NativeString describeFileError(const FileError& error);

}  // namespace velmora
