// Two error paths of the static C++ runtime (libstdc++), replaced so that swapcfg.exe stays
// small. Both defaults drag in code the program never needs:
// - the verbose terminate handler prints the type of an uncaught exception, which needs the
//   name demangler and printf: about 70 KiB;
// - the library's throw helpers live in one object with all the others, which build
//   std::logic_error and std::runtime_error on copy-on-write strings: about 55 KiB.
// Nothing is lost: main catches every exception alike and never shows its text, so the
// helpers throw std::bad_alloc (a string or vector too long for memory is out of memory
// too); and a terminate, which no path of ours reaches, ends the program as quietly as any
// other run, with status 0. Linked into swapcfg.exe only when the runtime is libstdc++.
#include <windows.h>

#include <new>

// The names are the runtime's own: defining them is what replaces its versions.
// NOLINTBEGIN(bugprone-reserved-identifier)
namespace __gnu_cxx {

[[noreturn]] void __verbose_terminate_handler() {
    ::ExitProcess(0);
}

}  // namespace __gnu_cxx

namespace std {

[[noreturn]] void __throw_bad_alloc() {
    throw bad_alloc();
}

[[noreturn]] void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}

[[noreturn]] void __throw_length_error(const char*) {
    throw bad_alloc();
}

[[noreturn]] void __throw_logic_error(const char*) {
    throw bad_alloc();
}

}  // namespace std
// NOLINTEND(bugprone-reserved-identifier)
