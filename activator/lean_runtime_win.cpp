// How Velmora.exe runs out of memory, and the parts of the static C++ runtime (libstdc++) that
// would otherwise bring in code the program never needs.
//
// The program is built without C++ exceptions: the only one it could meet is std::bad_alloc,
// and the one thing to do then is to say so and end, with the descriptor either untouched or
// completely rewritten. So the allocation function, and the runtime's helpers that would
// throw (a string or vector too long for memory, or a position past its end, which no path
// of ours asks for), end the program here with that box and exit status 3. With none of them
// left to throw, the runtime's exception support (its personality routine, exception
// allocator, unwinder, terminate handler and type information) stays out. Linked
// into Velmora.exe only when the runtime is libstdc++.
#include <windows.h>

#include <cstdlib>
#include <new>

namespace {

// Owned by the program's window where one is active, as every other box is: it stays in front
// of the window, and the window takes no click while it is up.
[[noreturn]] void outOfMemory() {
    ::MessageBoxW(::GetActiveWindow(), L"The program ran out of memory and exits now.", L"Error",
                  MB_OK | MB_ICONERROR);
    ::ExitProcess(3);
}

void* allocate(std::size_t size) {
    void* memory = std::malloc(size != 0 ? size : 1);
    if (memory == nullptr) {
        outOfMemory();
    }
    return memory;
}

}  // namespace

// The replaceable allocation function (the only one the program calls); the runtime's operator
// delete frees with std::free. The runtime's own throws std::bad_alloc, and would bring in the
// exception runtime (how much that is: docs/testing.md, Sizes).
void* operator new(std::size_t size) {
    return allocate(size);
}

// The names are the runtime's own: defining them is what replaces its versions. They come as
// one: the runtime keeps all of them in one object, which the program would link for any one
// left out. Its versions throw, and build std::logic_error and std::runtime_error on
// copy-on-write strings, which the program would carry as well.
// NOLINTBEGIN(bugprone-reserved-identifier)
namespace std {

[[noreturn]] void __throw_bad_alloc() {
    outOfMemory();
}

[[noreturn]] void __throw_bad_array_new_length() {
    outOfMemory();
}

[[noreturn]] void __throw_length_error(const char*) {
    outOfMemory();
}

[[noreturn]] void __throw_logic_error(const char*) {
    outOfMemory();
}

[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) {
    outOfMemory();
}

}  // namespace std
// NOLINTEND(bugprone-reserved-identifier)
