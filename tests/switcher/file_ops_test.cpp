// The platform's file operations themselves: what counts as a backup that can be opened,
// and which runs must wait for each other.
#include "file_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "case_name.h"
#include "platform_files.h"
#include "temp_dir.h"
#include "test_thread.h"

namespace swapcfg {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::PrintTo;  // names the cases where gtest prints them

struct OpenCase {
    const char* name;
    void (*make)(const fs::path& path);
    bool opens;
};

class IsRestorableBackup : public ::testing::TestWithParam<OpenCase> {};

TEST_P(IsRestorableBackup, AcceptsOnlyARegularFile) {
    testing_support::TempDir dir("open");
    const fs::path backup = dir / "game.bak";
    GetParam().make(backup);
    EXPECT_EQ(platformFileOps().isMovableFile(backup.native()), GetParam().opens);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IsRestorableBackup,
    ::testing::Values(
        OpenCase{"RegularFile", [](const fs::path& p) { testing_support::writeFile(p, "x"); },
                 true},
        OpenCase{"EmptyFile", [](const fs::path& p) { testing_support::writeFile(p, ""); }, true},
        OpenCase{"Directory", [](const fs::path& p) { fs::create_directory(p); }, false},
        OpenCase{"Nothing", [](const fs::path&) {}, false}),
    testing_support::caseName);

// Moves on Linux can leave one file under two names; on Windows a move is one step.
constexpr bool kLinux = fs::path::preferred_separator == '/';

struct RemoveCase {
    const char* name;
    void (*make)(const fs::path& first, const fs::path& second);
    bool byDroppingASecondName;  // else as a record
    bool removed;
};

class RemovesOnly : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemovesOnly, AnEmptyRecordOrASecondNameOfOneFile) {
    testing_support::TempDir dir("remove");
    const fs::path first = dir / "game.cfg";
    const fs::path second = dir / "game.bak";
    testing_support::writeFile(first, "x");
    GetParam().make(first, second);
    if (GetParam().byDroppingASecondName) {
        EXPECT_EQ(platformFileOps().dropSecondName(second.native(), first.native()),
                  GetParam().removed);
    } else {
        platformFileOps().removeEmptyFile(second.native());
    }
    EXPECT_EQ(fs::exists(second), !GetParam().removed);
    EXPECT_EQ(testing_support::readFile(first), "x");
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, RemovesOnly,
    ::testing::Values(
        RemoveCase{"EmptyRecord", [](const fs::path&, const fs::path& s) { testing_support::writeFile(s, ""); }, false, true},
        RemoveCase{"RecordThatHoldsSomething", [](const fs::path&, const fs::path& s) { testing_support::writeFile(s, "y"); }, false, false},
        RemoveCase{"FolderNamedAsARecord", [](const fs::path&, const fs::path& s) { fs::create_directory(s); }, false, false},
        RemoveCase{"SecondNameOfOneFile", [](const fs::path& f, const fs::path& s) { fs::create_hard_link(f, s); }, true, kLinux},
        RemoveCase{"AnotherFileAlike", [](const fs::path&, const fs::path& s) { testing_support::writeFile(s, "x"); }, true, false}),
    testing_support::caseName);
// clang-format on

struct FolderCase {
    const char* name;
    fs::path (*prefixIn)(const fs::path& folder);
    bool getsASeparator;
};

class WithFolderSeparator : public ::testing::TestWithParam<FolderCase> {};

TEST_P(WithFolderSeparator, IsAddedOnlyToAFolderThatLacksOne) {
    testing_support::TempDir dir("prefix");
    testing_support::writeFile(dir / "file", "x");
    const NativeString prefix = GetParam().prefixIn(dir.path()).native();
    const auto expected = GetParam().getsASeparator
                              ? std::optional(prefix + fs::path::preferred_separator)
                              : std::nullopt;
    EXPECT_EQ(platformFileOps().withFolderSeparator(prefix), expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, WithFolderSeparator,
    ::testing::Values(
        FolderCase{"Folder", [](const fs::path& f) { return f; }, true},
        FolderCase{"FolderWithSeparator", [](const fs::path& f) { return f / ""; }, false},
        FolderCase{"File", [](const fs::path& f) { return f / "file"; }, false},
        // On Windows the current folder of drive C:, where the names are as they stand.
        FolderCase{"DriveAlone", [](const fs::path&) { return fs::path("C:"); }, false}),
    testing_support::caseName);
// clang-format on

// Another way to write the path of the same file, or of another one.
struct TurnCase {
    const char* name;
    fs::path (*otherName)(const fs::path& folder);
    bool sameFolder;
};

std::wstring inCapitals(const fs::path& path) {
    std::wstring text = path.wstring();
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c; });
    return text;
}

// A symbolic link to `folder` beside it; where none can be made, a path that does not exist.
fs::path linkTo(const fs::path& folder) {
    const fs::path link = folder.parent_path() / "link";
    std::error_code error;
    fs::create_directory_symlink(folder, link, error);
    return error ? folder.parent_path() / "no link" / "here" : link;
}

class FolderTurns : public ::testing::TestWithParam<TurnCase> {};

TEST_P(FolderTurns, KeepOtherRunsOnTheSameFolderWaitingUntilReleased) {
    testing_support::TempDir root("turns");
    const fs::path folder = root / "game";
    fs::create_directories(folder);
    fs::create_directories(root / "other");
    const fs::path other = GetParam().otherName(folder);
    if (!fs::exists(other.parent_path())) {
        GTEST_SKIP() << "this file system tells letter cases apart, or makes no links";
    }
    FileOps& files = platformFileOps();
    auto held = files.waitForTurn((folder / "liblist.gam").native(), 0ms);
    ASSERT_NE(held, nullptr);

    // Asked from another thread: a thread that holds a Windows mutex may take it again.
    const auto askElsewhere = [&] {
        bool granted = false;
        testing_support::TestThread([&] {
            granted = files.waitForTurn(other.native(), 200ms) != nullptr;
        }).join();
        return granted;
    };
    EXPECT_EQ(askElsewhere(), !GetParam().sameFolder);
    held.reset();
    EXPECT_TRUE(askElsewhere());
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, FolderTurns,
    ::testing::Values(
        TurnCase{"SameFile", [](const fs::path& f) { return f / "liblist.gam"; }, true},
        TurnCase{"AnotherFileThere", [](const fs::path& f) { return f / "settings.scr"; }, true},
        TurnCase{"ThroughDotDot", [](const fs::path& f) { return f / ".." / "game" / "game.cfg"; }, true},
        TurnCase{"InCapitals", [](const fs::path& f) { return fs::path(inCapitals(f / "game.cfg")); }, true},
        TurnCase{"InTheLongForm", [](const fs::path& f) { return testing_support::anyLengthForm(f / "game.cfg"); }, true},
        TurnCase{"ThroughALink", [](const fs::path& f) { return linkTo(f) / "game.cfg"; }, true},
        TurnCase{"AnotherFolder", [](const fs::path& f) { return f / ".." / "other" / "game.cfg"; }, false}),
    testing_support::caseName);
// clang-format on

}  // namespace
}  // namespace swapcfg
