#include <windows.h>

#include <array>

#include "error_text.h"
#include "unique_handle_win.h"

namespace velmora {

NativeString systemReason(int code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const UniqueLocalText owned(buffer);
    NativeString reason = length != 0 ? NativeString(buffer, length) : NativeString();
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r')) {
        reason.pop_back();
    }
    std::array<wchar_t, 32> number{};
    ::wsprintfW(number.data(), L"(error %lu)", static_cast<unsigned long>(code));
    return reason.empty() ? NativeString(number.data()) : reason + L" " + number.data();
}

NativeString textOfDescriptorBytes(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    NativeString text(static_cast<std::size_t>(size), L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, text.data(), size);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::size_t characterStartAtOrBefore(const NativeString& text, std::size_t at) {
    const bool splitsAPair =
        at > 0 && at < text.size() && IS_HIGH_SURROGATE(text[at - 1]) && IS_LOW_SURROGATE(text[at]);
    return splitsAPair ? at - 1 : at;
}

bool isAccessDenied(int code) {
    switch (static_cast<DWORD>(code)) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return true;
        default:
            return false;
    }
}

}  // namespace velmora
