#include "temp_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform_files.h"

namespace testing_support {
namespace {

// Whether a folder is a QOX game folder depends on its whole path: the tests choose it
// in the names of their own folders, so the folder they are made in must not hold it.
bool holdsTheModsName(const fs::path& path) {
    const std::u8string utf8 = path.u8string();
    std::string text(utf8.begin(), utf8.end());
    for (char& c : text) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text.find("qox") != std::string::npos;
}

const fs::path& neutralBase() {
    static const fs::path base = [] {
        std::vector<fs::path> candidates{fs::temp_directory_path()};
        for (const fs::path& folder : otherTemporaryFolders()) {
            candidates.push_back(folder);
        }
        for (const fs::path& candidate : candidates) {
            std::error_code error;
            if (!holdsTheModsName(candidate) && fs::is_directory(candidate, error)) {
                return candidate;
            }
        }
        throw std::runtime_error("no folder for temporary files whose path lacks \"qox\"");
    }();
    return base;
}

}  // namespace

TempDir::TempDir(std::string_view name) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        std::ostringstream unique;
        unique << "vt-" << name << "-" << stamp % 1000000007 << "-" << counter++;
        path_ = neutralBase() / unique.str();
        if (fs::create_directory(path_)) {
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    const fs::path base = anyLengthForm(path_);
    for (const std::string& name : entriesBelow(path_)) {
        clearProtection(base / fs::path(std::u8string(name.begin(), name.end())).make_preferred());
    }
    fs::remove_all(base, ignored);
}

void writeFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write test file " + path.string());
    }
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::map<std::string, std::string> snapshot(const fs::path& directory) {
    std::map<std::string, std::string> files;
    const fs::path base = anyLengthForm(directory);
    for (const std::string& name : entriesBelow(directory)) {
        files[name] =
            name.ends_with('/')
                ? "<dir>"
                : readFile(base /
                           fs::path(std::u8string(name.begin(), name.end())).make_preferred());
    }
    return files;
}

}  // namespace testing_support
