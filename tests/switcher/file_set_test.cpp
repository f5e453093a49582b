// The program's command line and run, and the file set's steps, over a folder in memory.
#include "file_set.h"

#include <gtest/gtest.h>

#include "case_name.h"
#include "swapcfg.h"

#include <filesystem>
#include <map>
#include <memory>
#include <vector>

namespace swapcfg {
namespace {

using testing_support::PrintTo;  // names the cases where gtest prints them

struct ModeCase {
    const char* text;
    Mode expected;
};

void PrintTo(const ModeCase& c, std::ostream* out) {
    *out << ::testing::PrintToString(std::string(c.text));
}

class ModeParsing : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeParsing, ReadsLikeAtoiWithoutOverflow) {
    EXPECT_EQ(parseMode(std::string_view(GetParam().text)), GetParam().expected) << GetParam().text;
    const std::string_view narrow(GetParam().text);
    const std::wstring wide(narrow.begin(), narrow.end());
    EXPECT_EQ(parseMode(std::wstring_view(wide)), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModeParsing,
    ::testing::Values(
        ModeCase{"1", Mode::InstallBotVariants}, ModeCase{" 1", Mode::InstallBotVariants},
        ModeCase{"\t\n1", Mode::InstallBotVariants}, ModeCase{"1x", Mode::InstallBotVariants},
        ModeCase{"+1", Mode::InstallBotVariants}, ModeCase{"001", Mode::InstallBotVariants},
        ModeCase{"2", Mode::RestoreBackups}, ModeCase{"2.5", Mode::RestoreBackups},
        ModeCase{"0", Mode::None}, ModeCase{"3", Mode::None}, ModeCase{"-1", Mode::None},
        ModeCase{"-2", Mode::None}, ModeCase{"+-1", Mode::None}, ModeCase{"x1", Mode::None},
        ModeCase{"word", Mode::None}, ModeCase{"", Mode::None},
        ModeCase{"1 1", Mode::InstallBotVariants}, ModeCase{"19", Mode::None},
        // Numbers past int that would wrap to 1 or 2 if truncated.
        ModeCase{"4294967297", Mode::None}, ModeCase{"18446744073709551617", Mode::None},
        ModeCase{"99999999999999999999999999999999", Mode::None}));

TEST(JoinedName, UsesThePrefixVerbatimWithoutSeparatorOrExpansion) {
    const NativeString prefix = std::filesystem::path("D:%s%n").native();
    EXPECT_EQ(joinedName(prefix, "game.cfg"), std::filesystem::path("D:%s%ngame.cfg").native());
}

struct PrefixCase {
    const char* name;
    const char* argument;
    const char* prefix;
};

class WindowsArgument : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(WindowsArgument, GivesAQuotedFolderBackItsClosingBackslash) {
    const auto native = [](const char* text) { return joinedName(NativeString(), text); };
    EXPECT_EQ(prefixFromWindowsArgument(native(GetParam().argument)), native(GetParam().prefix));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, WindowsArgument,
    ::testing::Values(
        PrefixCase{"QuotedFolder", "C:\\My Games\\qox\"", "C:\\My Games\\qox\\"},
        PrefixCase{"QuotedFolderAndBlank", "C:\\My Games\\qox\" ", "C:\\My Games\\qox\\"},
        PrefixCase{"QuotedFolderAndTabs", "C:\\qox\"\t \t", "C:\\qox\\"},
        PrefixCase{"QuotedFolderAndAWord", "C:\\qox\" extra", "C:\\qox\" extra"},
        PrefixCase{"WithoutSeparator", "D:\\game\\mod", "D:\\game\\mod"},
        PrefixCase{"QuoteInside", "C:\\a\"b\\", "C:\\a\"b\\"},
        PrefixCase{"Empty", "", ""}),
    testing_support::caseName);
// clang-format on

// A folder in memory whose renames can be made to fail, and whose turn can be refused.
class MemoryFolder final : public FileOps {
  public:
    std::map<NativeString, std::string> files;
    std::map<NativeString, RenameResult> failingRenames;  // by source name
    bool turnComes = true;
    int operations = 0;  // renames and opens

    RenameResult renameNoReplace(const NativeString& from, const NativeString& to) override {
        ++operations;
        if (const auto failing = failingRenames.find(from); failing != failingRenames.end()) {
            return failing->second;
        }
        if (files.contains(to)) {
            return RenameResult::TargetTaken;
        }
        const auto source = files.find(from);
        if (source == files.end()) {
            return RenameResult::Failed;
        }
        files[to] = source->second;
        files.erase(source);
        return RenameResult::Renamed;
    }
    // Looking changes nothing: not counted.
    bool exists(const NativeString& name) override { return files.contains(name); }
    bool isRestorableBackup(const NativeString& name) override {
        ++operations;
        return files.contains(name);
    }
    std::optional<NativeString> withFolderSeparator(const NativeString&) override {
        return std::nullopt;  // it holds no folders
    }
    std::unique_ptr<FolderTurn> waitForTurn(const NativeString&,
                                            std::chrono::milliseconds patience) override {
        EXPECT_EQ(patience, kTurnPatience);
        return turnComes ? std::make_unique<FolderTurn>() : nullptr;
    }
};

NativeString name(std::string_view text) {
    return joinedName(NativeString(), text);
}

std::vector<NativeString> arguments(std::string_view mode) {
    return {name("swapcfg"), name(mode), NativeString()};
}

TEST(Run, DoesNothingWhenItsTurnNeverComes) {
    MemoryFolder folder;
    folder.files = {{name("liblist.gam"), "live"}, {name("liblist.bak"), "backup"}};
    folder.turnComes = false;
    for (const char* mode : {"1", "2"}) {
        EXPECT_EQ(run(folder, arguments(mode)), 0);
    }
    EXPECT_EQ(folder.operations, 0);
}

struct StepCase {
    const char* name;
    Mode mode;
    std::map<std::string, std::string> before;
    std::map<std::string, RenameResult> failingRenames;  // by source name
    std::map<std::string, std::string> after;
};

class WhenAStepFails : public ::testing::TestWithParam<StepCase> {};

// Nothing is deleted, whatever fails, and the game keeps its descriptor through an install.
TEST_P(WhenAStepFails, KeepsEveryContent) {
    MemoryFolder folder;
    for (const auto& [file, content] : GetParam().before) {
        folder.files[name(file)] = content;
    }
    for (const auto& [file, result] : GetParam().failingRenames) {
        folder.failingRenames[name(file)] = result;
    }
    if (GetParam().mode == Mode::InstallBotVariants) {
        installBotVariants(folder, NativeString());
    } else {
        restoreBackups(folder, NativeString());
    }
    std::map<NativeString, std::string> expected;
    for (const auto& [file, content] : GetParam().after) {
        expected[name(file)] = content;
    }
    EXPECT_EQ(folder.files, expected);
}

constexpr Mode kInstall = Mode::InstallBotVariants;
constexpr Mode kRestore = Mode::RestoreBackups;
const std::map<std::string, std::string> kInstalledEntry = {{"game.cfg", "bot"},
                                                            {"game.bak", "original"}};
const std::string kAside = "game.cfg.swapcfg-0.tmp";
const std::string kDescriptorAside = "liblist.gam.swapcfg-0.tmp";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, WhenAStepFails,
    ::testing::Values(
        StepCase{"NoneFails", kRestore, kInstalledEntry, {}, {{"game.cfg", "original"}, {"game.bot", "bot"}}},
        StepCase{"BotVariantNameTaken", kRestore, {{"game.cfg", "bot"}, {"game.bak", "original"}, {"game.bot", "other"}}, {},
                 {{"game.cfg", "original"}, {"game.bot", "other"}, {"game.cfg.swapcfg-0.kept", "bot"}}},
        StepCase{"KeptNameTaken", kRestore, {{"game.cfg", "bot"}, {"game.bak", "original"}, {"game.bot", "other"}, {"game.cfg.swapcfg-0.kept", "older"}}, {},
                 {{"game.cfg", "original"}, {"game.bot", "other"}, {"game.cfg.swapcfg-0.kept", "older"}, {"game.cfg.swapcfg-1.kept", "bot"}}},
        StepCase{"AsideNameLeftByAKilledRun", kRestore, {{"game.cfg", "bot"}, {"game.bak", "original"}, {kAside, "stale"}}, {},
                 {{"game.cfg", "original"}, {"game.bot", "bot"}, {kAside, "stale"}}},
        StepCase{"LiveFileWillNotMove", kRestore, kInstalledEntry, {{"game.cfg", RenameResult::Failed}}, kInstalledEntry},
        StepCase{"BackupWillNotMove", kRestore, kInstalledEntry, {{"game.bak", RenameResult::Failed}}, kInstalledEntry},
        StepCase{"SetAsideFileWillNotMoveOn", kRestore, kInstalledEntry, {{kAside, RenameResult::Failed}},
                 {{"game.cfg", "original"}, {kAside, "bot"}}},
        StepCase{"DescriptorBotVariantWillNotMove", kInstall, {{"liblist.gam", "original"}, {"liblist.bot", "bot"}},
                 {{"liblist.bot", RenameResult::Failed}}, {{"liblist.gam", "original"}, {"liblist.bot", "bot"}}},
        StepCase{"DescriptorBackupNameTaken", kInstall, {{"liblist.gam", "original"}, {"liblist.bak", "older"}, {"liblist.bot", "bot"}}, {},
                 {{"liblist.gam", "original"}, {"liblist.bak", "older"}, {"liblist.bot", "bot"}}},
        StepCase{"DescriptorWillNotMove", kInstall, {{"liblist.gam", "original"}, {"liblist.bot", "bot"}},
                 {{"liblist.gam", RenameResult::Failed}}, {{"liblist.gam", "original"}, {"liblist.bot", "bot"}}},
        StepCase{"WaitingBotVariantWillNotMoveIn", kInstall, {{"liblist.gam", "original"}, {"liblist.bot", "bot"}},
                 {{kDescriptorAside, RenameResult::Failed}}, {{"liblist.gam", "original"}, {kDescriptorAside, "bot"}}}),
    testing_support::caseName);
// clang-format on

}  // namespace
}  // namespace swapcfg
