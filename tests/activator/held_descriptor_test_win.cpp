// A descriptor that another process holds open without sharing: a short hold is waited
// out, a long one fails the rewrite and leaves the descriptor as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include "case_name.h"
#include "file_system.h"
#include "held_file_win.h"
#include "safe_rewrite.h"
#include "temp_dir.h"

namespace velmora {
namespace {

using testing_support::PrintTo;  // names the cases where gtest prints them
using testing_support::snapshot;

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
        testing_support::HeldFile holder(descriptor, GetParam().milliseconds);
        error = rewriteFileUnlessChanged(platformFileSystem(), descriptor.native(), "old\r\n",
                                         "new\r\n")
                    .error;
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
