// The rename that never replaces, on file systems that lack renameat2's RENAME_NOREPLACE or
// hard links: the system's calls with some of them refused as such a file system would.
#include "rename_linux.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "case_name.h"
#include "temp_dir.h"

namespace swapcfg {
namespace {

using testing_support::PrintTo;  // names the cases where gtest prints them

class RefusingCalls final : public RenameCalls {
  public:
    RefusingCalls(int renameNoReplaceError, int linkError)
        : renameNoReplaceError_(renameNoReplaceError), linkError_(linkError) {}

    int renameNoReplace(const char* from, const char* to) override {
        return renameNoReplaceError_ != 0 ? renameNoReplaceError_
                                          : real().renameNoReplace(from, to);
    }
    int link(const char* from, const char* to) override {
        return linkError_ != 0 ? linkError_ : real().link(from, to);
    }
    int unlink(const char* path) override { return real().unlink(path); }
    int lstat(const char* path) override { return real().lstat(path); }
    int rename(const char* from, const char* to) override { return real().rename(from, to); }

  private:
    static RenameCalls& real() { return systemRenameCalls(); }
    int renameNoReplaceError_;
    int linkError_;
};

struct RenameCase {
    const char* name;
    int renameNoReplaceError;  // 0: the call is made
    int linkError;
    bool targetTaken;
    RenameResult expected;
};

class RenameWithoutReplacing : public ::testing::TestWithParam<RenameCase> {};

TEST_P(RenameWithoutReplacing, RenamesOnlyOntoAFreeNameAndNeverLosesAFile) {
    const RenameCase& c = GetParam();
    testing_support::TempDir dir("rename");
    testing_support::writeFile(dir / "game.cfg", "live");
    std::map<std::string, std::string> expected = {{"game.cfg", "live"}};
    if (c.targetTaken) {
        testing_support::writeFile(dir / "game.bot", "bot");
        expected["game.bot"] = "bot";
    }
    if (c.expected == RenameResult::Renamed) {
        expected = {{"game.bot", "live"}};
    }
    RefusingCalls calls(c.renameNoReplaceError, c.linkError);

    EXPECT_EQ(renameWithoutReplacing(calls, (dir / "game.cfg").c_str(), (dir / "game.bot").c_str()),
              c.expected);
    EXPECT_EQ(testing_support::snapshot(dir.path()), expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, RenameWithoutReplacing,
    ::testing::Values(
        RenameCase{"InOneStep", 0, 0, false, RenameResult::Renamed},
        RenameCase{"InOneStepOntoATakenName", 0, 0, true, RenameResult::TargetTaken},
        RenameCase{"ByALink", EINVAL, 0, false, RenameResult::Renamed},
        RenameCase{"ByALinkOntoATakenName", EINVAL, 0, true, RenameResult::TargetTaken},
        RenameCase{"WithoutLinks", EINVAL, EPERM, false, RenameResult::Renamed},
        RenameCase{"WithoutLinksOntoATakenName", EINVAL, EPERM, true, RenameResult::TargetTaken},
        RenameCase{"WithoutLinksOrTheCall", ENOSYS, EOPNOTSUPP, false, RenameResult::Renamed},
        RenameCase{"AnIoErrorIsNoReasonToFallBack", EIO, 0, false, RenameResult::Failed},
        RenameCase{"NorIsAnIoErrorOnTheLink", EINVAL, EIO, false, RenameResult::Failed}),
    testing_support::caseName);
// clang-format on

}  // namespace
}  // namespace swapcfg
