#include "file_set.h"

#include <gtest/gtest.h>

#include "case_name.h"

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
        ModeCase{"1 1", Mode::InstallBotVariants},
        // Numbers past int that would wrap to 1 or 2 if truncated.
        ModeCase{"4294967297", Mode::None}, ModeCase{"18446744073709551617", Mode::None},
        ModeCase{"99999999999999999999999999999999", Mode::None}));

TEST(JoinedName, UsesThePrefixVerbatimWithoutSeparatorOrExpansion) {
    const NativeString prefix = std::filesystem::path("D:%s%n").native();
    EXPECT_EQ(joinedName(prefix, "game.cfg"), std::filesystem::path("D:%s%ngame.cfg").native());
}

// A folder in memory whose renames can be made to fail, and whose turn can be refused.
class MemoryFolder final : public FileOps {
  public:
    std::map<NativeString, std::string> files;
    std::map<NativeString, RenameResult> failingRenames;  // by source name
    bool turnComes = true;
    int operations = 0;

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
    bool remove(const NativeString& name) override {
        ++operations;
        return files.erase(name) == 1;
    }
    bool canOpenForReading(const NativeString& name) override {
        ++operations;
        return files.contains(name);
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

struct RestoreCase {
    const char* name;
    std::map<std::string, std::string> before;
    std::map<std::string, RenameResult> failingRenames;  // by source name
    std::map<std::string, std::string> after;
};

class RestoreWhenAStepFails : public ::testing::TestWithParam<RestoreCase> {};

// Nothing is deleted before the backup has moved, and only a taken bot-variant name makes a
// set-aside file go: whatever fails, no content is lost.
TEST_P(RestoreWhenAStepFails, KeepsEveryFile) {
    MemoryFolder folder;
    for (const auto& [file, content] : GetParam().before) {
        folder.files[name(file)] = content;
    }
    for (const auto& [file, result] : GetParam().failingRenames) {
        folder.failingRenames[name(file)] = result;
    }
    restoreBackups(folder, NativeString());
    std::map<NativeString, std::string> expected;
    for (const auto& [file, content] : GetParam().after) {
        expected[name(file)] = content;
    }
    EXPECT_EQ(folder.files, expected);
}

const std::map<std::string, std::string> kInstalledEntry = {{"game.cfg", "bot"},
                                                            {"game.bak", "original"}};
const std::string kAside = "game.cfg.swapcfg-0.tmp";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, RestoreWhenAStepFails,
    ::testing::Values(
        RestoreCase{"NoneFails", kInstalledEntry, {}, {{"game.cfg", "original"}, {"game.bot", "bot"}}},
        RestoreCase{"BotVariantNameTaken", {{"game.cfg", "bot"}, {"game.bak", "original"}, {"game.bot", "other"}}, {},
                    {{"game.cfg", "original"}, {"game.bot", "other"}}},
        RestoreCase{"AsideNameLeftByAKilledRun", {{"game.cfg", "bot"}, {"game.bak", "original"}, {kAside, "stale"}}, {},
                    {{"game.cfg", "original"}, {"game.bot", "bot"}, {kAside, "stale"}}},
        RestoreCase{"LiveFileWillNotMove", kInstalledEntry, {{"game.cfg", RenameResult::Failed}}, kInstalledEntry},
        RestoreCase{"BackupWillNotMove", kInstalledEntry, {{"game.bak", RenameResult::Failed}}, kInstalledEntry},
        RestoreCase{"SetAsideFileWillNotMoveOn", kInstalledEntry, {{kAside, RenameResult::Failed}},
                    {{"game.cfg", "original"}, {kAside, "bot"}}}),
    testing_support::caseName);
// clang-format on

}  // namespace
}  // namespace swapcfg
