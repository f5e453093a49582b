// hold_file.exe holding a file open without sharing, from a process of its own, as a game, a
// virus scanner or a backup tool might.
#pragma once

#include <filesystem>

#include "unique_handle_win.h"

namespace testing_support {

class HeldFile {
  public:
    // Returns once hold_file.exe holds `path`; it lets go by itself after `milliseconds`.
    HeldFile(const std::filesystem::path& path, int milliseconds);
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    HeldFile(HeldFile&&) = delete;
    HeldFile& operator=(HeldFile&&) = delete;
    // Waits until it has let go.
    ~HeldFile();

    // Makes it let go at once.
    void letGo();

  private:
    velmora::UniqueHandle process_;
};

}  // namespace testing_support
