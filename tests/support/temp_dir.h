// A fresh directory for one test, removed with everything in it afterwards, and small
// helpers to lay out and read back files as bytes.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace testing_support {

namespace fs = std::filesystem;

class TempDir {
  public:
    // `name` becomes part of the directory's name, so tests can choose what the path holds:
    // the rest of the path never holds the modification's name, whatever TMPDIR says.
    explicit TempDir(std::string_view name = "test");
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const fs::path& path() const { return path_; }
    fs::path operator/(std::string_view name) const { return path_ / fs::path(std::string(name)); }

  private:
    fs::path path_;
};

void writeFile(const fs::path& path, std::string_view bytes);
std::string readFile(const fs::path& path);

// Every regular file below `directory` by its path relative to it (with "/"), and its bytes.
// Directories show as their name with a trailing "/" and the content "<dir>".
std::map<std::string, std::string> snapshot(const fs::path& directory);

}  // namespace testing_support
