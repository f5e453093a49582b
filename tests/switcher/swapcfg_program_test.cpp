// Runs the real swapcfg program against real directories.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "case_name.h"
#include "platform_files.h"
#include "run_program.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testing_support::NativeArgument;
using testing_support::PrintTo;  // names the cases where gtest prints them
using testing_support::TempDir;

enum Role { Live, Backup, Bot };

constexpr std::array<std::array<const char*, 3>, 4> kNames = {{
    {"liblist.gam", "liblist.bak", "liblist.bot"},
    {"settings.scr", "settings.bak", "settings.bot"},
    {"game.cfg", "game.bak", "game.bot"},
    {"commandmenu.txt", "commandmenu.bak", "commandmenu.bot"},
}};

// Where each file of every entry stands, and which original file's content it holds.
struct Placement {
    Role name;
    Role content;
};
using Layout = std::vector<Placement>;
using Files = std::map<std::string, std::string>;

std::string contentOf(Role role, std::size_t entry) {
    return std::string("original ") + kNames[entry][role] + "\r\n";
}

Files filesFor(const Layout& layout, const std::string& namePrefix) {
    Files files;
    for (std::size_t entry = 0; entry < kNames.size(); ++entry) {
        for (const Placement& p : layout) {
            files[namePrefix + kNames[entry][p.name]] = contentOf(p.content, entry);
        }
    }
    return files;
}

const Layout kFresh = {{Live, Live}, {Bot, Bot}};
const Layout kInstalled = {{Backup, Live}, {Live, Bot}};

struct SwapCase {
    const char* name;
    Layout before;
    std::vector<std::vector<std::string>> runs;  // "$P" stands for the prefix
    Layout after;
    std::string directory = "game";  // relative, "/"-separated, UTF-8
    std::string namePrefix;          // part of the prefix that is not a directory
};

NativeArgument argument(const std::string& text, const fs::path& prefix) {
    return text == "$P" ? prefix.native() : fs::path(text).native();
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
    for (const auto& [name, content] : filesFor(c.before, c.namePrefix)) {
        testing_support::writeFile(directory / name, content);
    }
    // The prefix ends with a separator, or with the start of the file names.
    const fs::path prefix = fs::path(plainDirectory.native() + fs::path::preferred_separator) +=
        c.namePrefix;

    for (const auto& run : c.runs) {
        std::vector<NativeArgument> arguments;
        for (const auto& text : run) {
            arguments.push_back(argument(text, prefix));
        }
        const auto result =
            testing_support::runProgram(testing_support::siblingExecutable("swapcfg"), arguments);
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.output, "");
    }
    EXPECT_EQ(testing_support::snapshot(directory), filesFor(c.after, c.namePrefix));
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
        SwapCase{"InstallWithoutBotVariants", {{Live, Live}}, once({"1", "$P"}), {{Backup, Live}}},
        SwapCase{"RestoreWithoutBackups", kFresh, once({"2", "$P"}), kFresh},
        SwapCase{"RestoreWithoutLiveFile", {{Backup, Live}, {Bot, Bot}}, once({"2", "$P"}), kFresh},
        SwapCase{"RestoreWhenBotVariantNameIsTaken",
                 {{Live, Bot}, {Backup, Live}, {Bot, Bot}},
                 once({"2", "$P"}),
                 kFresh},
        SwapCase{"InstallWithBackupLeftAndNoLiveFile",
                 {{Backup, Backup}, {Bot, Bot}},
                 once({"1", "$P"}),
                 {{Backup, Backup}, {Live, Bot}}}),
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
    for (const auto& [name, content] : filesFor({{Live, Bot}, {Backup, Live}}, "")) {
        testing_support::writeFile(root / name, content);
    }
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
    for (const auto& [name, content] : filesFor(kFresh, "")) {
        testing_support::writeFile(root / name, content);
    }
    fs::create_directory(root / "game.bak");
    const auto before = testing_support::snapshot(root.path());
    const fs::path prefix = root.path().native() + fs::path::preferred_separator;
    testing_support::runProgram(testing_support::siblingExecutable("swapcfg"),
                                {fs::path("2").native(), prefix.native()});
    EXPECT_EQ(testing_support::snapshot(root.path()), before);
}

struct TogetherCase {
    const char* name;
    Layout before;
    std::vector<std::string> modes;  // one run each, all started at once
};

class SwapcfgRunsTogether : public ::testing::TestWithParam<TogetherCase> {};

// Two batch files (a server's start script, a scheduled task) may run swapcfg on one folder
// at the same moment.
TEST_P(SwapcfgRunsTogether, NeverLoseOrDoubleAFile) {
    constexpr int kRounds = 100;
    TempDir root("together");
    const fs::path prefix = root.path().native() + fs::path::preferred_separator;
    std::vector<std::vector<NativeArgument>> runs;
    for (const std::string& mode : GetParam().modes) {
        runs.push_back({fs::path(mode).native(), prefix.native()});
    }
    const Files before = filesFor(GetParam().before, "");
    std::multiset<std::string> expected;
    for (const auto& [name, content] : before) {
        expected.insert(content);
    }
    for (int round = 0; round < kRounds; ++round) {
        fs::remove_all(root.path());
        fs::create_directory(root.path());
        for (const auto& [name, content] : before) {
            testing_support::writeFile(root / name, content);
        }
        testing_support::runTogether(testing_support::siblingExecutable("swapcfg"), runs);
        const Files after = testing_support::snapshot(root.path());
        std::multiset<std::string> contents;
        for (const auto& [name, content] : after) {
            contents.insert(content);
        }
        ASSERT_EQ(contents, expected) << "in round " << round;
        // Installed or restored, whichever ran last: the live files are there.
        for (const auto& names : kNames) {
            ASSERT_TRUE(after.contains(names[Live])) << names[Live] << " in round " << round;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SwapcfgRunsTogether,
                         ::testing::Values(TogetherCase{"TwoRestores", kInstalled, {"2", "2"}},
                                           TogetherCase{"InstallsAndRestores",
                                                        kInstalled,
                                                        {"2", "1", "2", "1", "2", "1", "2", "1"}}),
                         testing_support::caseName);

}  // namespace
