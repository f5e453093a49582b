// A descriptor that another process holds open without sharing: a short hold is waited
// out, a long one fails the rewrite and leaves the descriptor as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>

#include "case_name.h"
#include "file_system.h"
#include "run_program.h"
#include "safe_rewrite.h"
#include "temp_dir.h"
#include "unique_handle_win.h"

namespace velmora {
namespace {

using testing_support::PrintTo;  // names the cases where gtest prints them
using testing_support::snapshot;

constexpr auto kTakingHoldTimeout = std::chrono::seconds(20);
constexpr DWORD kPollMs = 10;

// Runs hold_file.exe on `path` and returns once it holds the file.
class Holder {
  public:
    Holder(const std::filesystem::path& path, int milliseconds) {
        const std::filesystem::path program = testing_support::siblingExecutable("hold_file");
        std::wstring commandLine = L"\"" + program.native() + L"\" \"" + path.native() + L"\" " +
                                   std::to_wstring(milliseconds);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, nullptr, &startup, &process)) {
            throw std::runtime_error("cannot start hold_file.exe");
        }
        const UniqueHandle thread(process.hThread);
        process_.reset(process.hProcess);
        const auto marker = std::filesystem::path(path.native() + L".held");
        const auto deadline = std::chrono::steady_clock::now() + kTakingHoldTimeout;
        while (!std::filesystem::exists(marker)) {
            // Doubles as the pause between looks; a holder that ended will never hold it.
            if (::WaitForSingleObject(process_.get(), kPollMs) != WAIT_TIMEOUT ||
                std::chrono::steady_clock::now() > deadline) {
                throw std::runtime_error("hold_file.exe did not take hold of " + path.string());
            }
        }
        std::filesystem::remove(marker);
    }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;
    Holder(Holder&&) = delete;
    Holder& operator=(Holder&&) = delete;
    ~Holder() { ::WaitForSingleObject(process_.get(), 30000); }

  private:
    UniqueHandle process_;
};

struct HoldCase {
    const char* name;
    int milliseconds;
    bool rewritten;
};

class HeldByAnotherProcess : public ::testing::TestWithParam<HoldCase> {};

TEST_P(HeldByAnotherProcess, IsWaitedOutBrieflyAndNeverDamaged) {
    testing_support::TempDir dir("held");
    const auto descriptor = dir / "liblist.gam";
    testing_support::writeFile(descriptor, "old\r\n");
    FileResult error;
    {
        Holder holder(descriptor, GetParam().milliseconds);
        error = rewriteFile(platformFileSystem(), descriptor.native(), "new\r\n");
    }
    const std::string expected = GetParam().rewritten ? "new\r\n" : "old\r\n";
    EXPECT_EQ(error.has_value(), !GetParam().rewritten);
    EXPECT_EQ(snapshot(dir.path()),
              (std::map<std::string, std::string>{{"liblist.gam", expected}}));
}

INSTANTIATE_TEST_SUITE_P(Cases, HeldByAnotherProcess,
                         ::testing::Values(HoldCase{"ForAMoment", 300, true},
                                           HoldCase{"ForLong", 4000, false}),
                         testing_support::caseName);

}  // namespace
}  // namespace velmora
