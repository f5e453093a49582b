#include "safe_rewrite.h"

#include <gtest/gtest.h>

#include "case_name.h"
#include "failing_file_system.h"
#include "platform_files.h"
#include "temp_dir.h"

namespace velmora {
namespace {

using testing_support::PrintTo;  // names the cases where gtest prints them
using testing_support::snapshot;
using testing_support::TempDir;

constexpr std::string_view kOld = "game \"QOX\"\r\ngamedll \"dlls\\hl.dll\"\r\n";
constexpr std::string_view kNew = "game \"QOX\"\r\ngamedll \"dlls\\qox_bot.dll\"\r\n";

struct Fixture {
    TempDir dir{"rewrite"};
    NativeString descriptor = (dir / "liblist.gam").native();
    Fixture() { testing_support::writeFile(descriptor, kOld); }
};

struct StepCase {
    const char* name;
    FileOp failing;
};

class InjectedFailure : public ::testing::TestWithParam<StepCase> {};

TEST_P(InjectedFailure, LeavesTheOldDescriptorAndNoTemporaryFile) {
    Fixture f;
    FailingFileSystem files(platformFileSystem(), GetParam().failing);
    const FileResult error = rewriteFileUnlessChanged(files, f.descriptor, kOld, kNew).error;
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->code, kInjectedErrorCode);
    EXPECT_EQ(error->path, f.descriptor) << "the error names the file the user knows";
    EXPECT_EQ(snapshot(f.dir.path()),
              (std::map<std::string, std::string>{{"liblist.gam", std::string(kOld)}}));
}

INSTANTIATE_TEST_SUITE_P(EachStep, InjectedFailure,
                         ::testing::Values(StepCase{"CheckRewritable", FileOp::CheckRewritable},
                                           StepCase{"CreateNew", FileOp::CreateNew},
                                           StepCase{"Write", FileOp::Write},
                                           StepCase{"Flush", FileOp::Flush},
                                           StepCase{"Close", FileOp::Close},
                                           StepCase{"Replace", FileOp::Replace}),
                         testing_support::caseName);

TEST(Rewrite, ReplacesTheContentAndLeavesNothingElse) {
    Fixture f;
    EXPECT_EQ(rewriteFileUnlessChanged(platformFileSystem(), f.descriptor, kOld, kNew).error,
              std::nullopt);
    EXPECT_EQ(snapshot(f.dir.path()),
              (std::map<std::string, std::string>{{"liblist.gam", std::string(kNew)}}));
}

TEST(Rewrite, KeepsTheHiddenMark) {
    Fixture f;
    testing_support::setCarriedAttribute(f.descriptor);
    ASSERT_EQ(rewriteFileUnlessChanged(platformFileSystem(), f.descriptor, kOld, kNew).error,
              std::nullopt);
    EXPECT_TRUE(testing_support::hasCarriedAttribute(f.descriptor));
    EXPECT_EQ(testing_support::readFile(f.descriptor), kNew);
}

struct RefusalCase {
    const char* name;
    void (*prepare)(const std::filesystem::path& descriptor);
    FileOp failingOp;
};

class Refusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, ReportsTheDescriptorAndChangesNothing) {
    Fixture f;
    GetParam().prepare(f.descriptor);
    const auto before = snapshot(f.dir.path());
    const FileResult error =
        rewriteFileUnlessChanged(platformFileSystem(), f.descriptor, kOld, kNew).error;
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->op, GetParam().failingOp);
    EXPECT_EQ(error->path, f.descriptor);
    EXPECT_NE(error->code, 0);
    EXPECT_EQ(snapshot(f.dir.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Refusal,
    ::testing::Values(RefusalCase{"ReadOnly",
                                  [](const auto& p) { testing_support::makeReadOnly(p); },
                                  FileOp::CheckRewritable},
                      RefusalCase{"ReplacedByADirectory",
                                  [](const auto& p) {
                                      std::filesystem::remove(p);
                                      std::filesystem::create_directory(p);
                                  },
                                  FileOp::CheckRewritable},
                      RefusalCase{"Missing", [](const auto& p) { std::filesystem::remove(p); },
                                  FileOp::CheckRewritable}),
    testing_support::caseName);

struct StaleCase {
    const char* name;
    int staleFiles;  // at the first names this run would pick
    bool saves;
};

class LeftFromAKilledRun : public ::testing::TestWithParam<StaleCase> {};

// A run killed before it cleaned up leaves its temporary file; a later run may get the same
// process id.
TEST_P(LeftFromAKilledRun, TemporaryFilesArePassedOverAndLeftAlone) {
    Fixture f;
    for (int attempt = 0; attempt < GetParam().staleFiles; ++attempt) {
        testing_support::writeFile(temporaryNameBeside(f.descriptor, currentProcessId(), attempt),
                                   "stale");
    }
    auto expected = snapshot(f.dir.path());
    const FileResult error =
        rewriteFileUnlessChanged(platformFileSystem(), f.descriptor, kOld, kNew).error;
    EXPECT_EQ(error.has_value(), !GetParam().saves);
    if (GetParam().saves) {
        expected["liblist.gam"] = kNew;
    }
    EXPECT_EQ(snapshot(f.dir.path()), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, LeftFromAKilledRun,
                         ::testing::Values(StaleCase{"One", 1, true},
                                           StaleCase{"AllButOne", kTemporaryNameTries - 1, true},
                                           StaleCase{"AtEveryName", kTemporaryNameTries, false}),
                         testing_support::caseName);

TEST(Rewrite, GivesUpOnADescriptorThatStaysLockedAndKeepsIt) {
    Fixture f;
    FileResult error;
    {
        const auto lock = testing_support::lockAgainstChanges(f.descriptor);
        if (!lock) {
            GTEST_SKIP() << testing_support::kCannotLock;
        }
        error = rewriteFileUnlessChanged(platformFileSystem(), f.descriptor, kOld, kNew).error;
    }
    ASSERT_TRUE(error.has_value());
    // Held open without sharing (Windows), it cannot even be read for the last look; made
    // immutable (Linux), it reads, and the replace fails.
    EXPECT_TRUE(error->op == FileOp::Read || error->op == FileOp::Replace)
        << static_cast<int>(error->op);
    EXPECT_EQ(snapshot(f.dir.path()),
              (std::map<std::string, std::string>{{"liblist.gam", std::string(kOld)}}));
}

}  // namespace
}  // namespace velmora
