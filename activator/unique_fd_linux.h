// A Linux file descriptor, closed exactly once (unique_resource.h).
#pragma once

#include <unistd.h>

#include "unique_resource.h"

namespace velmora {

struct FdTraits {
    using Type = int;
    static Type none() { return -1; }
    static bool owns(Type fd) { return fd >= 0; }
    static void release(Type fd) { ::close(fd); }
};
using UniqueFd = UniqueResource<FdTraits>;

}  // namespace velmora
