// The program's command line and run, and the file set's steps, over a folder in memory.
#include "file_set.h"

#include <gtest/gtest.h>

#include "case_name.h"
#include "swapcfg.h"

#include <cstdint>
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
        ModeCase{"\t\n1", Mode::InstallBotVariants}, ModeCase{"\v\f\r1", Mode::InstallBotVariants},
        ModeCase{"1x", Mode::InstallBotVariants}, ModeCase{"+1", Mode::InstallBotVariants},
        ModeCase{"001", Mode::InstallBotVariants}, ModeCase{"2", Mode::RestoreBackups},
        ModeCase{"2.5", Mode::RestoreBackups}, ModeCase{"0", Mode::None}, ModeCase{"3", Mode::None},
        ModeCase{"-1", Mode::None}, ModeCase{"-2", Mode::None}, ModeCase{"+-1", Mode::None},
        ModeCase{"x1", Mode::None}, ModeCase{"word", Mode::None}, ModeCase{"", Mode::None},
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

// A folder in memory whose renames can be made to fail, and whose turn can be refused. It
// can move as a Linux file system without RENAME_NOREPLACE does, by a link and an unlink, and
// it can stop making changes for good, as a killed run does.
class MemoryFolder final : public FileOps {
  public:
    std::map<NativeString, std::string> files;            // "<dir>": a folder
    std::map<NativeString, RenameResult> failingRenames;  // by source name
    bool turnComes = true;
    bool movesByLink = false;
    int changesLeft = -1;  // before it stops; -1: it never does
    int changes = 0;       // made
    int operations = 0;    // renames and opens

    RenameResult renameNoReplace(const NativeString& from, const NativeString& to) override {
        ++operations;
        if (const auto failing = failingRenames.find(from); failing != failingRenames.end()) {
            return failing->second;
        }
        if (files.contains(to)) {
            return RenameResult::TargetTaken;
        }
        if (!files.contains(from) || !change()) {
            return RenameResult::Failed;
        }
        files[to] = files[from];
        if (movesByLink) {
            secondNames_[to] = from;
            if (!change()) {
                return RenameResult::Failed;
            }
            secondNames_.erase(to);
        }
        files.erase(from);
        return RenameResult::Renamed;
    }
    // Looking changes nothing: not counted.
    bool exists(const NativeString& name) override { return files.contains(name); }
    bool isMovableFile(const NativeString& name) override {
        ++operations;
        return files.contains(name) && files[name] != "<dir>";
    }
    bool createEmptyFile(const NativeString& name) override {
        if (files.contains(name) || !change()) {
            return false;
        }
        files[name] = "";
        return true;
    }
    void removeEmptyFile(const NativeString& name) override {
        if (files.contains(name) && files[name].empty() && change()) {
            files.erase(name);
        }
    }
    bool dropSecondName(const NativeString& name, const NativeString& other) override {
        const auto linked = [&](const NativeString& a, const NativeString& b) {
            const auto found = secondNames_.find(a);
            return found != secondNames_.end() && found->second == b;
        };
        if (!linked(name, other) && !linked(other, name)) {
            return false;
        }
        secondNames_.erase(name);
        secondNames_.erase(other);
        files.erase(name);
        ++changes;
        return true;
    }
    std::optional<NativeString> withFolderSeparator(const NativeString&) override {
        return std::nullopt;  // it holds no folders
    }
    std::unique_ptr<FolderTurn> waitForTurn(const NativeString&,
                                            std::chrono::milliseconds patience) override {
        EXPECT_EQ(patience, kTurnPatience);
        return turnComes ? std::make_unique<FolderTurn>() : nullptr;
    }

  private:
    // False once the folder has stopped.
    bool change() {
        if (changesLeft == 0) {
            return false;
        }
        changesLeft -= changesLeft > 0 ? 1 : 0;
        ++changes;
        return true;
    }

    std::map<NativeString, NativeString> secondNames_;  // a link's new name: its source
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

using Folder = std::map<NativeString, std::string>;

// Each entry's live file (bit 0), backup (bit 1) and bot variant (bit 2): those of the
// descriptor's entry, and those of each of the other three.
Folder layoutOf(unsigned descriptorFiles, unsigned otherFiles) {
    Folder folder;
    for (std::size_t i = 0; i < kFileSet.size(); ++i) {
        const unsigned present = i == 0 ? descriptorFiles : otherFiles;
        const std::array<std::string_view, 3> names = {kFileSet[i].live, kFileSet[i].backup,
                                                       kFileSet[i].botVariant};
        for (unsigned role = 0; role < names.size(); ++role) {
            if ((present & (1u << role)) != 0) {
                folder[name(names[role])] = "original " + std::string(names[role]);
            }
        }
    }
    return folder;
}

struct Outcome {
    Folder folder;
    std::vector<int> changes;  // each command's
};

// Runs the commands in turn; the one numbered `stopped` is ended before its change
// `stopBefore` (from 1), and then run once more.
Outcome runCommands(const Folder& start, const std::vector<const char*>& modes, bool byLink,
                    std::size_t stopped = SIZE_MAX, int stopBefore = 0) {
    MemoryFolder folder;
    folder.files = start;
    folder.movesByLink = byLink;
    Outcome outcome;
    for (std::size_t i = 0; i < modes.size(); ++i) {
        if (i == stopped) {
            folder.changesLeft = stopBefore - 1;
            run(folder, arguments(modes[i]));
            folder.changesLeft = -1;
        }
        folder.changes = 0;
        run(folder, arguments(modes[i]));
        outcome.changes.push_back(folder.changes);
    }
    outcome.folder = folder.files;
    return outcome;
}

struct MovesCase {
    const char* name;
    bool byLink;  // a link and an unlink, which a stop can come between
};

class EveryLayout : public ::testing::TestWithParam<MovesCase> {};

// For every layout of the descriptor's entry and of the others: an install and a restore give
// the folder back, a second install changes nothing, and a run stopped before any of its
// changes, run again, ends as the uninterrupted one.
TEST_P(EveryLayout, GivesTheFolderBackAndMendsEveryStop) {
    struct Sequence {
        const char* name;
        std::vector<const char*> modes;
        bool givesBackTheStart;
    };
    const std::vector<Sequence> sequences = {
        {"1 2", {"1", "2"}, true}, {"1 1 2", {"1", "1", "2"}, true}, {"2", {"2"}, false}};
    for (unsigned descriptorFiles = 0; descriptorFiles < 8; ++descriptorFiles) {
        for (unsigned otherFiles = 0; otherFiles < 8; ++otherFiles) {
            const Folder start = layoutOf(descriptorFiles, otherFiles);
            for (const Sequence& sequence : sequences) {
                SCOPED_TRACE(::testing::Message()
                             << "descriptor files " << descriptorFiles << ", other files "
                             << otherFiles << ", modes " << sequence.name);
                const Outcome whole = runCommands(start, sequence.modes, GetParam().byLink);
                if (sequence.givesBackTheStart) {
                    EXPECT_EQ(whole.folder, start);
                }
                if (sequence.modes.size() == 3) {
                    EXPECT_EQ(whole.changes[1], 0) << "a second install changes something";
                }
                for (std::size_t command = 0; command < sequence.modes.size(); ++command) {
                    for (int stop = 1; stop <= whole.changes[command]; ++stop) {
                        EXPECT_EQ(
                            runCommands(start, sequence.modes, GetParam().byLink, command, stop)
                                .folder,
                            whole.folder)
                            << "command " << command << " stopped before change " << stop;
                    }
                }
                if (HasFailure()) {
                    return;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Moves, EveryLayout,
                         ::testing::Values(MovesCase{"InOneStep", false},
                                           MovesCase{"ByLinkAndUnlink", true}),
                         testing_support::caseName);

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
const std::string kRecord1000 = "liblist.gam.swapcfg-1000.installed";

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
                 {{"liblist.bot", RenameResult::Failed}}, {{"liblist.gam", "original"}, {"liblist.bot", "bot"}, {kRecord1000, ""}}},
        StepCase{"DescriptorBackupNameTaken", kInstall, {{"liblist.gam", "original"}, {"liblist.bak", "older"}, {"liblist.bot", "bot"}}, {},
                 {{"liblist.gam", "original"}, {"liblist.bak", "older"}, {"liblist.bot", "bot"}, {"liblist.gam.swapcfg-0000.installed", ""}}},
        StepCase{"DescriptorWillNotMove", kInstall, {{"liblist.gam", "original"}, {"liblist.bot", "bot"}},
                 {{"liblist.gam", RenameResult::Failed}}, {{"liblist.gam", "original"}, {"liblist.bot", "bot"}, {kRecord1000, ""}}},
        StepCase{"WaitingBotVariantWillNotMoveIn", kInstall, {{"liblist.gam", "original"}, {"liblist.bot", "bot"}},
                 {{kDescriptorAside, RenameResult::Failed}}, {{"liblist.gam", "original"}, {kDescriptorAside, "bot"}, {kRecord1000, ""}}},
        StepCase{"RecordStaysWhileABackupWillNotMove", kRestore, {{"game.cfg", "bot"}, {"game.bak", "original"}, {"liblist.gam.swapcfg-0010.installed", ""}},
                 {{"game.bak", RenameResult::Failed}}, {{"game.cfg", "bot"}, {"game.bak", "original"}, {"liblist.gam.swapcfg-0010.installed", ""}}},
        StepCase{"AddedBotVariantWhoseNameIsTaken", kRestore, {{"game.cfg", "bot"}, {"game.bot", "newer"}, {"liblist.gam.swapcfg-0020.installed", ""}}, {},
                 {{"game.bot", "newer"}, {"game.cfg.swapcfg-0.kept", "bot"}}},
        StepCase{"BotVariantIsAFolder", kInstall, {{"liblist.gam", "original"}, {"liblist.bot", "<dir>"}}, {},
                 {{"liblist.gam", "original"}, {"liblist.bot", "<dir>"}}}),
    testing_support::caseName);
// clang-format on

}  // namespace
}  // namespace swapcfg
