// Where the activator finds the game's files: the directory of its own executable.
#pragma once

#include "native_string.h"

namespace velmora {

// The directory part of the running executable's path, without a trailing separator except
// at the root of a drive ("C:\") or of the file system ("/").
NativeString applicationDirectoryOf(const NativeString& executablePath);

// liblist.gam in the application directory, with exactly one separator before it.
NativeString descriptorPathIn(const NativeString& applicationDirectory);

// The files whose presence means the bots are installed; formed by plain joining.
NativeString botConfigPathIn(const NativeString& applicationDirectory);
NativeString botLibraryPathIn(const NativeString& applicationDirectory);

// True when any part of the path contains the modification's name in any letter case.
bool isQoxDirectory(const NativeString& applicationDirectory);

}  // namespace velmora
