#include "game_directory.h"

#include <array>
#include <string_view>

namespace velmora {
namespace {

// Every letter-case form of the modification's name.
constexpr std::array<std::string_view, 8> kQoxForms = {"QOX", "qOX", "QoX", "QOx",
                                                       "qoX", "qOx", "Qox", "qox"};

bool endsWithSeparator(const NativeString& path) {
    return !path.empty() && path.back() == kPathSeparator;
}

NativeString joined(const NativeString& directory, std::string_view name) {
    return directory + kPathSeparator + nativeFromAscii(name);
}

}  // namespace

NativeString applicationDirectoryOf(const NativeString& executablePath) {
    const auto separator = executablePath.rfind(kPathSeparator);
    if (separator == NativeString::npos) {
        return {};
    }
    NativeString directory = executablePath.substr(0, separator);
    // "C:" alone names the drive's current directory, and "" nothing: keep the root's separator.
    if (directory.empty() || directory.back() == ':') {
        directory += kPathSeparator;
    }
    return directory;
}

NativeString descriptorPathIn(const NativeString& applicationDirectory) {
    if (endsWithSeparator(applicationDirectory)) {
        return applicationDirectory + nativeFromAscii("liblist.gam");
    }
    return joined(applicationDirectory, "liblist.gam");
}

NativeString botConfigPathIn(const NativeString& applicationDirectory) {
    return joined(applicationDirectory, "bot.cfg");
}

NativeString botLibraryPathIn(const NativeString& applicationDirectory) {
    NativeString dlls = joined(applicationDirectory, "dlls");
    return joined(dlls, "qox_bot.dll");
}

bool isQoxDirectory(const NativeString& applicationDirectory) {
    bool found = false;
    for (const std::string_view form : kQoxForms) {
        found = applicationDirectory.find(nativeFromAscii(form)) != NativeString::npos || found;
    }
    return found;
}

}  // namespace velmora
