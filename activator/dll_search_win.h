// Where the program's DLLs come from. The same function as the other program's: the two
// programs share no code, and one test holds both copies to the same behaviour.
#pragma once

namespace velmora {

// From this call on, a DLL loaded by its name, by this program or by a system DLL on its
// behalf (Common Controls loads uxtheme.dll when it first draws), comes from System32 only.
// Windows would otherwise look in the program's own folder first: the game folder, which
// fills with downloaded files, so that a DLL put there under a system DLL's name would run
// as part of this program. The first call of the program, before anything that may load one;
// it cannot limit the imports Windows resolves before the program starts, so the program
// imports only KnownDLLs, which always come from System32 (scripts/check-executables).
// False where Windows lacks the call (Windows 7 without update KB2533623): the search stays
// as it was.
bool loadDllsFromSystem32Only();

}  // namespace velmora
