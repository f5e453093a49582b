// Runs the real swapcfg program against real directories.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "case_name.h"
#include "file_set_layout.h"
#include "platform_files.h"
#include "run_program.h"
#include "stop_before_change.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::NativeArgument;
using testing_support::PrintTo;  // names the cases where gtest prints them
using testing_support::TempDir;
using namespace file_set_layout;

struct SwapCase {
    const char* name;
    Layout before;
    // "$P" stands for the prefix, "$D" for the directory without a separator at its end.
    std::vector<std::vector<std::string>> runs;
    Layout after;
    std::string directory = "game";         // relative, "/"-separated, UTF-8
    std::string namePrefix;                 // part of the prefix that is not a directory
    bool folderNamedLikeThePrefix = false;  // an empty one, beside the files
};

// What follows "$D" is added to the directory with the platform's separators.
NativeArgument argument(const std::string& text, const fs::path& prefix,
                        const fs::path& directory) {
    if (text == "$P") {
        return prefix.native();
    }
    if (text.starts_with("$D")) {
        return directory.native() + fs::path(text.substr(2)).make_preferred().native();
    }
    return fs::path(text).native();
}

class Swapcfg : public ::testing::TestWithParam<SwapCase> {};

TEST_P(Swapcfg, LeavesTheFilesAsExpectedPrintsNothingAndExitsZero) {
    const SwapCase& c = GetParam();
    TempDir root("swap");
    const fs::path plainDirectory =
        (root.path() / fs::path(std::u8string(c.directory.begin(), c.directory.end())))
            .make_preferred();
    const fs::path directory = testing_support::anyLengthForm(plainDirectory);
    fs::create_directories(directory);
    writeLayout(directory, c.before, c.namePrefix);
    Files expected = filesFor(c.after, c.namePrefix);
    if (c.folderNamedLikeThePrefix) {
        fs::create_directory(directory / c.namePrefix);
        expected[c.namePrefix + "/"] = "<dir>";
    }
    // The prefix ends with a separator, or with the start of the file names.
    const fs::path prefix = fs::path(plainDirectory.native() + fs::path::preferred_separator) +=
        c.namePrefix;

    for (const auto& run : c.runs) {
        std::vector<NativeArgument> arguments;
        for (const auto& text : run) {
            arguments.push_back(argument(text, prefix, plainDirectory));
        }
        const auto result =
            testing_support::runProgram(testing_support::siblingExecutable("swapcfg"), arguments);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.output, "");
    }
    EXPECT_EQ(testing_support::snapshot(directory), expected);
}

std::vector<std::vector<std::string>> once(std::vector<std::string> arguments) {
    return {arguments};
}

INSTANTIATE_TEST_SUITE_P(
    Modes, Swapcfg,
    ::testing::Values(
        SwapCase{"Install", kFresh, once({"1", "$P"}), kInstalled},
        SwapCase{"InstallTwiceChangesNothingMore", kFresh, {{"1", "$P"}, {"1", "$P"}}, kInstalled},
        SwapCase{"RestoreKeepsTheBotVariants", kFresh, {{"1", "$P"}, {"2", "$P"}}, kFresh},
        SwapCase{"InstallAgainAfterRestore",
                 kFresh,
                 {{"1", "$P"}, {"2", "$P"}, {"1", "$P"}},
                 kInstalled},
        // The game needs its descriptor; it runs without the other three.
        SwapCase{"InstallWithoutBotVariants",
                 {{Live, Live}},
                 once({"1", "$P"}),
                 {{Live, Live, kDescriptorEntry}, {Backup, Live, kOtherEntries}, record("0111")}},
        SwapCase{"RestoreWithoutBackups", kFresh, once({"2", "$P"}), kFresh},
        SwapCase{"RestoreWithoutLiveFile", {{Backup, Live}, {Bot, Bot}}, once({"2", "$P"}), kFresh},
        SwapCase{"RestoreWhenBotVariantNameIsTaken",
                 {{Live, Bot}, {Backup, Live}, {Bot, Bot}},
                 once({"2", "$P"}),
                 {{Live, Live}, {Bot, Bot}, {Kept, Bot}}},
        SwapCase{"InstallWithBackupLeftAndNoLiveFile",
                 {{Backup, Backup}, {Bot, Bot}},
                 once({"1", "$P"}),
                 {{Backup, Backup}, {Live, Bot}, record("2222")}}),
    testing_support::caseName);

INSTANTIATE_TEST_SUITE_P(
    Arguments, Swapcfg,
    ::testing::Values(SwapCase{"ModeWithLeadingBlank", kFresh, once({" 1", "$P"}), kInstalled},
                      SwapCase{"ModeWithTrailingLetter", kFresh, once({"1x", "$P"}), kInstalled},
                      SwapCase{"ModeWithPlusSign", kFresh, once({"+1", "$P"}), kInstalled},
                      SwapCase{"ModeZero", kFresh, once({"0", "$P"}), kFresh},
                      SwapCase{"ModeThree", kFresh, once({"3", "$P"}), kFresh},
                      SwapCase{"ModeMinusOne", kFresh, once({"-1", "$P"}), kFresh},
                      SwapCase{"ModeWord", kFresh, once({"install", "$P"}), kFresh},
                      SwapCase{"ModeEmpty", kFresh, once({"", "$P"}), kFresh},
                      SwapCase{"ModeHuge", kFresh, once({"4294967297", "$P"}), kFresh},
                      SwapCase{"NoArguments", kFresh, once({}), kFresh},
                      SwapCase{"OneArgument", kFresh, once({"1"}), kFresh},
                      SwapCase{"ThreeArguments", kFresh, once({"1", "$P", "extra"}), kFresh}),
    testing_support::caseName);

INSTANTIATE_TEST_SUITE_P(
    Prefixes, Swapcfg,
    ::testing::Values(
        SwapCase{"WithoutTrailingSeparator", kFresh, once({"1", "$P"}), kInstalled, "game", "mod"},
        SwapCase{"PlainJoiningBeforeAFolder", kFresh, once({"1", "$P"}), kInstalled, "game", "mod",
                 true},
        SwapCase{"PlainJoiningBeforeAFolderWithOnlyLiveFiles",
                 {{Live, Live}},
                 once({"1", "$P"}),
                 {{Live, Live, kDescriptorEntry}, {Backup, Live, kOtherEntries}, record("0111")},
                 "game",
                 "mod",
                 true},
        SwapCase{"FolderWithoutSeparator", kFresh, once({"1", "$D"}), kInstalled},
        SwapCase{"RestoreInFolderWithoutSeparator", kInstalled, once({"2", "$D"}), kFresh},
        SwapCase{"OnlyABackupInFolderWithoutSeparator",
                 {{Backup, Live}},
                 once({"2", "$D"}),
                 {{Live, Live}}},
        SwapCase{"MissingFolderWithoutSeparator", kFresh, once({"1", "$D/missing"}), kFresh},
        SwapCase{"WithPercentSign", kFresh, once({"1", "$P"}), kInstalled, "100%s%d", "%s"},
        SwapCase{"WithBlanks", kFresh, {{"1", "$P"}, {"2", "$P"}}, kFresh, "My Games/Q O X"},
        SwapCase{
            "OutsideAscii", kFresh, once({"1", "$P"}), kInstalled,
            "Spiele "
            "\xC3\xA4\xC3\xB6\xC3\xBC/\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B/\xE6\xB8\xB8\xE6\x88\x8F"},
        SwapCase{"SeveralHundredCharacters", kFresh, once({"1", "$P"}), kInstalled,
                 std::string(90, 'a') + "/" + std::string(90, 'b') + "/" + std::string(90, 'c') +
                     "/" + std::string(90, 'd')}),
    testing_support::caseName);

TEST(SwapcfgRestore, KeepsBothFilesWhenTheLiveFileCannotBeMovedOrDeleted) {
    TempDir root("swap");
    writeLayout(root.path(), {{Live, Bot}, {Backup, Live}});
    const auto before = testing_support::snapshot(root.path());
    {
        const auto lock = testing_support::lockAgainstChanges(root / "liblist.gam");
        if (!lock) {
            GTEST_SKIP() << testing_support::kCannotLock;
        }
        const fs::path prefix = root.path().native() + fs::path::preferred_separator;
        const auto result =
            testing_support::runProgram(testing_support::siblingExecutable("swapcfg"),
                                        {fs::path("2").native(), prefix.native()});
        EXPECT_EQ(result.exitCode, 0);
    }
    auto expected = filesFor({{Live, Live}, {Bot, Bot}}, "");
    expected["liblist.gam"] = before.at("liblist.gam");
    expected["liblist.bak"] = before.at("liblist.bak");
    expected.erase("liblist.bot");
    EXPECT_EQ(testing_support::snapshot(root.path()), expected);
}

struct LockCase {
    const char* name;
    Layout before;
    std::vector<std::string> modes;  // one run each
    std::size_t lockedEntry;
    Role lockedRole = Live;
};

class SwapcfgWithALockedFile : public ::testing::TestWithParam<LockCase> {};

// Whatever fails part way through the table, every original file is still on disk under one
// of its names.
TEST_P(SwapcfgWithALockedFile, NeverLosesAFile) {
    const LockCase& c = GetParam();
    TempDir root("swap");
    const Files before = filesFor(c.before, "");
    for (const auto& [name, content] : before) {
        testing_support::writeFile(root / name, content);
    }
    const fs::path prefix = root.path().native() + fs::path::preferred_separator;
    {
        const auto lock =
            testing_support::lockAgainstChanges(root / kNames[c.lockedEntry][c.lockedRole]);
        if (!lock) {
            GTEST_SKIP() << testing_support::kCannotLock;
        }
        for (const std::string& mode : c.modes) {
            const auto result =
                testing_support::runProgram(testing_support::siblingExecutable("swapcfg"),
                                            {fs::path(mode).native(), prefix.native()});
            EXPECT_EQ(result.exitCode, 0);
        }
    }
    const Files after = testing_support::snapshot(root.path());
    std::multiset<std::string> contents;
    for (const auto& [name, content] : after) {
        contents.insert(content);
    }
    for (const auto& [name, content] : before) {
        if (content.empty()) {
            continue;  // an install's record, which a restore that finishes removes
        }
        EXPECT_EQ(contents.count(content), 1u) << "lost or doubled: " << name;
    }
    // Without its live files the game would not start.
    if (c.modes.back() == "2") {
        for (const auto& names : kNames) {
            EXPECT_TRUE(after.contains(names[Live])) << names[Live] << " is gone";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SwapcfgWithALockedFile,
    ::testing::Values(LockCase{"InstallWithFirstLocked", kFresh, {"1"}, 0},
                      LockCase{"InstallWithThirdLocked", kFresh, {"1"}, 2},
                      LockCase{"RestoreWithSecondLocked", kInstalled, {"2"}, 1},
                      LockCase{"RestoreWithLastLocked", kInstalled, {"2"}, 3},
                      LockCase{"RestoreWithFirstBackupHeld", kInstalled, {"2"}, 0, Backup},
                      LockCase{"InstallAndRestoreWithLastLocked", kFresh, {"1", "2"}, 3}),
    testing_support::caseName);

TEST(SwapcfgRestore, SkipsAnEntryWhoseBackupIsADirectory) {
    TempDir root("swap");
    writeLayout(root.path(), kFresh);
    fs::create_directory(root / "game.bak");
    const auto before = testing_support::snapshot(root.path());
    const fs::path prefix = root.path().native() + fs::path::preferred_separator;
    testing_support::runProgram(testing_support::siblingExecutable("swapcfg"),
                                {fs::path("2").native(), prefix.native()});
    EXPECT_EQ(testing_support::snapshot(root.path()), before);
}

struct KilledCase {
    const char* name;
    Layout before;
    std::string mode;
    int changes;  // the renames one uninterrupted run makes
};

class SwapcfgKilled : public ::testing::TestWithParam<KilledCase> {};

Files runIn(const fs::path& folder, const Layout& before, const std::vector<NativeArgument>& run,
            const std::string& program, int expectedExitCode) {
    fs::remove_all(folder);
    fs::create_directory(folder);
    writeLayout(folder, before);
    const auto result =
        testing_support::runProgram(testing_support::siblingExecutable(program), run);
    EXPECT_EQ(result.exitCode, expectedExitCode) << program;
    return testing_support::snapshot(folder);
}

// Ended right before each of its changes in turn, then run again with the same command: the
// folder ends as after one uninterrupted run, with the same names and contents.
TEST_P(SwapcfgKilled, IsMendedByTheNextRun) {
    const KilledCase& c = GetParam();
    TempDir root("killed");
    const fs::path folder = root / "game";
    const NativeArgument prefix = folder.native() + fs::path::preferred_separator;
    const NativeArgument mode = fs::path(c.mode).native();
    const Files uninterrupted = runIn(folder, c.before, {mode, prefix}, "swapcfg", 0);
    for (int change = 1; change <= c.changes + 1; ++change) {
        const NativeArgument step = fs::path(std::to_string(change)).native();
        const bool ends = change <= c.changes;
        runIn(folder, c.before, {step, mode, prefix}, "stop_before_change",
              ends ? swapcfg::kEndedBeforeTheChange : 0);
        const auto again = testing_support::runProgram(
            testing_support::siblingExecutable("swapcfg"), {mode, prefix});
        EXPECT_EQ(again.exitCode, 0);
        ASSERT_EQ(testing_support::snapshot(folder), uninterrupted)
            << "ended before change " << change;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SwapcfgKilled,
    ::testing::Values(
        KilledCase{"Install", kFresh, "1", 10},
        KilledCase{"InstallWithoutBotVariants", {{Live, Live}}, "1", 4},
        KilledCase{"InstallOverABackup", {{Live, Live}, {Backup, Backup}, {Bot, Bot}}, "1", 1},
        KilledCase{"Restore", kInstalled, "2", 17},
        KilledCase{
            "RestoreWhenBotVariantNameIsTaken", {{Live, Bot}, {Backup, Live}, {Bot, Bot}}, "2", 20},
        KilledCase{"RestoreWithoutLiveFile", {{Backup, Live}, {Bot, Bot}}, "2", 8}),
    testing_support::caseName);

struct TogetherCase {
    const char* name;
    Layout before;
    std::vector<std::string> modes;  // one run each, all started at once
    std::vector<Layout> outcomes;    // what the runs leave, one after another, in any order
};

class SwapcfgRunsTogether : public ::testing::TestWithParam<TogetherCase> {};

// Two batch files (a server's start script, a scheduled task) may run swapcfg on one folder
// at the same moment: the folder ends as the runs would leave it one after another.
TEST_P(SwapcfgRunsTogether, EndAsOneAfterAnother) {
    TempDir root("together");
    const fs::path prefix = root.path().native() + fs::path::preferred_separator;
    std::vector<std::vector<NativeArgument>> runs;
    for (const std::string& mode : GetParam().modes) {
        runs.push_back({fs::path(mode).native(), prefix.native()});
    }
    std::set<Files> outcomes;
    for (const Layout& outcome : GetParam().outcomes) {
        outcomes.insert(filesFor(outcome, ""));
    }
    for (int round = 0; round < RACING_ROUNDS; ++round) {
        fs::remove_all(root.path());
        fs::create_directory(root.path());
        writeLayout(root.path(), GetParam().before);
        testing_support::runTogether(testing_support::siblingExecutable("swapcfg"), runs);
        ASSERT_TRUE(outcomes.contains(testing_support::snapshot(root.path())))
            << "in round " << round;
    }
}

// Installed or restored, whichever ran last.
INSTANTIATE_TEST_SUITE_P(
    Cases, SwapcfgRunsTogether,
    ::testing::Values(TogetherCase{"TwoRestores", kInstalled, {"2", "2"}, {kFresh}},
                      TogetherCase{"InstallsAndRestores",
                                   kInstalled,
                                   {"2", "1", "2", "1", "2", "1", "2", "1"},
                                   {kFresh, kInstalled}}),
    testing_support::caseName);

}  // namespace
