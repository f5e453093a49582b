// The Win32 resources the activator owns, each released exactly once (unique_resource.h).
#pragma once

#include <windows.h>

#include "unique_resource.h"

namespace velmora {

// A kernel handle (CreateFileW, CreateProcessW); CreateFileW reports failure as
// INVALID_HANDLE_VALUE, most others as null.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type none() { return INVALID_HANDLE_VALUE; }
    static bool owns(Type handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void release(Type handle) { ::CloseHandle(handle); }
};
using UniqueHandle = UniqueResource<KernelHandleTraits>;

struct FontTraits {
    using Type = HFONT;
    static Type none() { return nullptr; }
    static bool owns(Type font) { return font != nullptr; }
    static void release(Type font) { ::DeleteObject(font); }
};
using UniqueFont = UniqueResource<FontTraits>;

// An icon loaded without LR_SHARED: it is the program's own to destroy.
struct IconTraits {
    using Type = HICON;
    static Type none() { return nullptr; }
    static bool owns(Type icon) { return icon != nullptr; }
    static void release(Type icon) { ::DestroyIcon(icon); }
};
using UniqueIcon = UniqueResource<IconTraits>;

// Text that the system allocated with LocalAlloc (FormatMessageW).
struct LocalTextTraits {
    using Type = wchar_t*;
    static Type none() { return nullptr; }
    static bool owns(Type text) { return text != nullptr; }
    static void release(Type text) { ::LocalFree(text); }
};
using UniqueLocalText = UniqueResource<LocalTextTraits>;

}  // namespace velmora
