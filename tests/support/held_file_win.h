// hold_file.exe holding a file open from a process of its own: without sharing, as a game, a
// virus scanner or a backup tool might, or sharing all but deletion while it writes a change,
// as an editor or a sync tool that saves in place might.
#pragma once

#include <filesystem>

#include "unique_handle_win.h"

namespace testing_support {

class HeldFile {
  public:
    // Returns once hold_file.exe holds `path`; it lets go by itself after `milliseconds`.
    HeldFile(const std::filesystem::path& path, int milliseconds);
    // Holds it for writing; `milliseconds` after a temporary file `path`.*.tmp appears,
    // writes the bytes of `change` (a file) into it, and lets go `milliseconds` after that.
    HeldFile(const std::filesystem::path& path, int milliseconds,
             const std::filesystem::path& change);
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    HeldFile(HeldFile&&) = delete;
    HeldFile& operator=(HeldFile&&) = delete;
    // Waits until it has let go.
    ~HeldFile();

    // Makes it let go at once.
    void letGo();

  private:
    void start(const std::filesystem::path& path, std::wstring arguments);

    velmora::UniqueHandle process_;
};

}  // namespace testing_support
