// Paths as Windows takes them at any length. The same function as Velmora's: the two programs
// share no code, and one test holds both copies to one table.
#pragma once

#include "file_ops.h"

namespace swapcfg {

// `path` made absolute, with "." and ".." resolved and "/" turned into "\" (GetFullPathNameW),
// then in the long form: "\\?\C:\..." for a drive path, "\\?\UNC\server\share\..." for a share.
// Windows takes a long form past 260 characters even where long paths are not enabled, but
// does none of that resolving for it. A path of MAX_PATH characters or more, which
// GetFullPathNameW does not take, is used as it is where it is absolute, with "\" for "/"
// ("." and ".." in it stay unresolved). A path already in the long form, or a device's
// ("\\.\"), comes back as it is; so does one that cannot be made absolute.
NativeString longPathForm(const NativeString& path);

}  // namespace swapcfg
