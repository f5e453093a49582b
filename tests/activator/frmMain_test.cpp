#include "frmMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "case_name.h"
#include "failing_file_system.h"
#include "game_reader.h"
#include "platform_files.h"
#include "temp_dir.h"
#include "velmora_texts.h"

namespace velmora {
namespace {

using testing_support::kBotsActivated;
using testing_support::kBotsDeactivated;
using testing_support::kMessage1;
using testing_support::kMessage2;
using testing_support::kNotInstalled;
using testing_support::PrintTo;  // names the cases where gtest prints them
using testing_support::readFile;
using testing_support::snapshot;
using testing_support::TempDir;
using testing_support::writeFile;

constexpr std::string_view kDescriptor =
    "game \"QOX\"\r\ngamedll \"dlls\\hl.dll\"\r\ngamedll_linux \"dlls/qox.so\"\r\n";
constexpr std::string_view kActivated =
    "game \"QOX\"\r\ngamedll_linux \"dlls/qox.so\"\r\ngamedll \"dlls\\qox_bot.dll\"\r\n";
constexpr std::string_view kDeactivated =
    "game \"QOX\"\r\ngamedll_linux \"dlls/qox.so\"\r\ngamedll \"dlls\\hl.dll\"\r\n";

enum class BoxKind { Error, FileError, Refusal, Success };

struct Box {
    BoxKind kind;
    std::string text;  // for a file error: the failing operation's path; for a refusal: why
    bool operator==(const Box&) const = default;
};

void PrintTo(const Box& box, std::ostream* out) {
    *out << static_cast<int>(box.kind) << ": " << ::testing::PrintToString(box.text);
}

std::string refused(RefusalReason reason, int line) {
    return "reason " + std::to_string(static_cast<int>(reason)) + " on line " +
           std::to_string(line);
}

class RecordingBoxes final : public MessageBoxes {
  public:
    void showError(std::string_view text) override {
        shown.push_back({BoxKind::Error, std::string(text)});
    }
    void showFileError(const FileError& error) override {
        shown.push_back({BoxKind::FileError, std::filesystem::path(error.path).string()});
    }
    void showRefusal(const Refusal& refusal) override {
        shown.push_back({BoxKind::Refusal, refused(refusal.reason, refusal.line)});
    }
    void showSuccess(std::string_view text) override {
        shown.push_back({BoxKind::Success, std::string(text)});
    }
    std::vector<Box> shown;
};

// A game directory with the files a case asks for.
struct GameDirectory {
    TempDir dir;
    explicit GameDirectory(std::string_view name) : dir(name) {}
    std::filesystem::path descriptor() const { return dir / "liblist.gam"; }
    void add(std::string_view name, std::string_view bytes = "x") const {
        const auto file = dir / name;
        std::filesystem::create_directories(file.parent_path());
        writeFile(file, bytes);
    }
};

// A QOX game directory holding kDescriptor, and the boxes its form shows.
struct QoxGame {
    GameDirectory game{"qox"};
    RecordingBoxes boxes;
    QoxGame() { game.add("liblist.gam", kDescriptor); }
    frmMain form(FileSystem& files = platformFileSystem()) {
        return frmMain(files, boxes, game.dir.path().native());
    }
};

// What stands at liblist.gam's name. The carried attribute is hidden on Windows: a hidden
// liblist.gam is there all the same.
enum class AtTheName { Nothing, File, FileWithTheCarriedAttribute, Directory };

struct LoadCase {
    const char* name;
    const char* directoryName;
    AtTheName descriptor;
    std::vector<Box> expectedBoxes;
};

class StartUp : public ::testing::TestWithParam<LoadCase> {};

TEST_P(StartUp, ChecksTheDirectoryNameFirstThenTheDescriptor) {
    const LoadCase& c = GetParam();
    GameDirectory game(c.directoryName);
    if (c.descriptor == AtTheName::File || c.descriptor == AtTheName::FileWithTheCarriedAttribute) {
        game.add("liblist.gam", kDescriptor);
    }
    if (c.descriptor == AtTheName::FileWithTheCarriedAttribute) {
        testing_support::setCarriedAttribute(game.descriptor());
    }
    if (c.descriptor == AtTheName::Directory) {
        std::filesystem::create_directory(game.descriptor());
    }
    const auto before = testing_support::snapshot(game.dir.path());
    RecordingBoxes boxes;
    frmMain form(platformFileSystem(), boxes, game.dir.path().native());

    EXPECT_EQ(form.Form_Load(), c.expectedBoxes.empty());
    EXPECT_EQ(boxes.shown, c.expectedBoxes);
    EXPECT_EQ(form.descriptorPath(), game.descriptor().native());
    EXPECT_EQ(testing_support::snapshot(game.dir.path()), before);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, StartUp,
    ::testing::Values(
        LoadCase{"NotQoxWithoutDescriptor", "othermod", AtTheName::Nothing, {{BoxKind::Error, std::string(kMessage1)}}},
        LoadCase{"NotQoxWithDescriptor", "othermod", AtTheName::File, {{BoxKind::Error, std::string(kMessage1)}}},
        LoadCase{"OnlyTwoLettersOfTheName", "qo-x", AtTheName::File, {{BoxKind::Error, std::string(kMessage1)}}},
        LoadCase{"NameInsideLongerWordWithoutDescriptor", "myQoXmod", AtTheName::Nothing, {{BoxKind::Error, std::string(kMessage2)}}},
        LoadCase{"DescriptorIsADirectory", "qox", AtTheName::Directory, {{BoxKind::Error, std::string(kMessage2)}}},
        LoadCase{"QoxWithDescriptor", "QoX", AtTheName::File, {}},
        LoadCase{"DescriptorWithTheCarriedAttribute", "qox", AtTheName::FileWithTheCarriedAttribute, {}}),
    testing_support::caseName);
// clang-format on

TEST(StartUp, KeepsTheOrdinaryLinesOfTheDescriptor) {
    QoxGame qox;
    frmMain form = qox.form();
    ASSERT_TRUE(form.Form_Load());
    EXPECT_EQ(form.keptText().text, "game \"QOX\"\r\ngamedll_linux \"dlls/qox.so\"");
}

TEST(StartUp, ReportsADescriptorThatCannotBeRead) {
    QoxGame qox;
    FailingFileSystem files(platformFileSystem(), FileOp::Read);
    frmMain form = qox.form(files);
    EXPECT_FALSE(form.Form_Load());
    EXPECT_EQ(qox.boxes.shown,
              (std::vector<Box>{{BoxKind::FileError, qox.game.descriptor().string()}}));
}

struct CommandCase {
    const char* name;
    bool activate;
    bool hasBotConfig;
    bool hasBotLibrary;
    Box expectedBox;
    std::string_view expectedDescriptor;
};

class FormCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(FormCommand, ReportsTheOutcomeAndWritesOnlyWhenItMay) {
    const CommandCase& c = GetParam();
    QoxGame qox;
    if (c.hasBotConfig) {
        qox.game.add("bot.cfg");
    }
    if (c.hasBotLibrary) {
        qox.game.add("dlls/qox_bot.dll");
    }
    frmMain form = qox.form();
    ASSERT_TRUE(form.Form_Load());

    const bool succeeded = c.activate ? form.cmdMit_Click() : form.cmdOhne_Click();

    EXPECT_EQ(succeeded, c.expectedBox.kind == BoxKind::Success);
    EXPECT_EQ(qox.boxes.shown, std::vector<Box>{c.expectedBox});
    EXPECT_EQ(readFile(qox.game.descriptor()), c.expectedDescriptor);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, FormCommand,
    ::testing::Values(
        CommandCase{"ActivateWithBothBotFiles", true, true, true, {BoxKind::Success, std::string(kBotsActivated)}, kActivated},
        CommandCase{"ActivateWithoutBotLibrary", true, true, false, {BoxKind::Error, std::string(kNotInstalled)}, kDescriptor},
        CommandCase{"ActivateWithoutBotConfig", true, false, true, {BoxKind::Error, std::string(kNotInstalled)}, kDescriptor},
        CommandCase{"ActivateWithoutEither", true, false, false, {BoxKind::Error, std::string(kNotInstalled)}, kDescriptor},
        CommandCase{"DeactivateWithoutBotFiles", false, false, false, {BoxKind::Success, std::string(kBotsDeactivated)}, kDeactivated},
        CommandCase{"DeactivateWithBotFiles", false, true, true, {BoxKind::Success, std::string(kBotsDeactivated)}, kDeactivated}),
    testing_support::caseName);
// clang-format on

TEST(FormCommand, ABotLibraryThatIsADirectoryDoesNotCount) {
    QoxGame qox;
    qox.game.add("bot.cfg");
    std::filesystem::create_directories(qox.game.dir / "dlls" / "qox_bot.dll");
    frmMain form = qox.form();
    ASSERT_TRUE(form.Form_Load());
    EXPECT_FALSE(form.cmdMit_Click());
    EXPECT_EQ(qox.boxes.shown, (std::vector<Box>{{BoxKind::Error, std::string(kNotInstalled)}}));
}

TEST(FormCommand, AFailedSaveShowsNoSuccessAndKeepsTheDescriptor) {
    QoxGame qox;
    FailingFileSystem files(platformFileSystem(), FileOp::Write);
    frmMain form = qox.form(files);
    ASSERT_TRUE(form.Form_Load());
    EXPECT_FALSE(form.cmdOhne_Click());
    EXPECT_EQ(qox.boxes.shown,
              (std::vector<Box>{{BoxKind::FileError, qox.game.descriptor().string()}}));
    EXPECT_EQ(snapshot(qox.game.dir.path()),
              (std::map<std::string, std::string>{{"liblist.gam", std::string(kDescriptor)}}));
}

// Another program writes the descriptor right before some of the reads of it: read 0 is the
// one at start-up; then each attempt of a save reads it (1, 3, 5, ...) and looks at it once
// more right before the replace (2, 4, 6, ...).
class ChangingFileSystem final : public FileSystem {
  public:
    ChangingFileSystem(std::map<int, std::string> writesBeforeRead)
        : writes_(std::move(writesBeforeRead)) {}

    bool isRegularFile(const NativeString& path) override { return real_.isRegularFile(path); }
    FileResult readAtMost(const NativeString& path, std::size_t limit,
                          std::string& bytes) override {
        if (const auto write = writes_.find(reads_++); write != writes_.end()) {
            writeFile(path, write->second);
        }
        FileResult result = real_.readAtMost(path, limit, bytes);
        largestRead = std::max(largestRead, bytes.size());
        return result;
    }
    FileResult checkRewritable(const NativeString& path, CarriedAttributes& carried) override {
        return real_.checkRewritable(path, carried);
    }
    FileResult createNew(const NativeString& path, CarriedAttributes carried,
                         std::unique_ptr<WritableFile>& file) override {
        return real_.createNew(path, carried, file);
    }
    FileResult replace(const NativeString& source, const NativeString& target) override {
        return real_.replace(source, target);
    }
    void remove(const NativeString& path) override { real_.remove(path); }
    void pauseWhileBusy() override { real_.pauseWhileBusy(); }

    std::size_t largestRead = 0;

  private:
    FileSystem& real_ = platformFileSystem();
    std::map<int, std::string> writes_;
    int reads_ = 0;
};

struct MeanwhileCase {
    const char* name;
    std::map<int, std::string> writesBeforeRead;
    Box expectedBox;
    std::string expectedDescriptor;
};

class ChangedMeanwhile : public ::testing::TestWithParam<MeanwhileCase> {};

TEST_P(ChangedMeanwhile, KeepsTheChangeOrLeavesTheFileAsTheOtherProgramLeftIt) {
    QoxGame qox;
    ChangingFileSystem files(GetParam().writesBeforeRead);
    frmMain form = qox.form(files);
    ASSERT_TRUE(form.Form_Load());
    EXPECT_EQ(form.cmdOhne_Click(), GetParam().expectedBox.kind == BoxKind::Success);
    EXPECT_EQ(qox.boxes.shown, std::vector<Box>{GetParam().expectedBox});
    EXPECT_EQ(snapshot(qox.game.dir.path()),
              (std::map<std::string, std::string>{{"liblist.gam", GetParam().expectedDescriptor}}));
}

const Box kDeactivatedBox{BoxKind::Success, std::string(kBotsDeactivated)};
const std::string kEdited = "game \"edited\"\r\ngamedll \"dlls\\qox_bot.dll\"\r\n";
const std::string kEditedDeactivated = "game \"edited\"\r\ngamedll \"dlls\\hl.dll\"\r\n";
const std::string kOtherEdit = "game \"other\"\r\n";
const std::string kMisread = "game \"QOX\"\r\nurl_dl\r\ngamedll \"dlls\\qox_bot.dll\"\r\n";
// Added at the end of kDescriptor, which Velmora read and which is still the file's start.
const std::string kAdded = "version \"1.1\"\r\nsize \"100\"\r\n";
const std::string kBlankLines = "\r\n\r\n\r\n\r\n\r\n\r\n";
const std::string kKept = "game \"QOX\"\r\ngamedll_linux \"dlls/qox.so\"\r\n";
const std::string kNormalLibraryLine = "gamedll \"dlls\\hl.dll\"\r\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, ChangedMeanwhile,
    ::testing::Values(
        MeanwhileCase{"WhileTheWindowIsOpen", {{1, kEdited}}, kDeactivatedBox, kEditedDeactivated},
        MeanwhileCase{"WhileSaving", {{2, kEdited}}, kDeactivatedBox, kEditedDeactivated},
        MeanwhileCase{"MendedWhileTheWindowIsOpen", {{0, kMisread}, {1, kEdited}}, kDeactivatedBox, kEditedDeactivated},
        MeanwhileCase{"ToOneTheGameWouldMisread", {{1, kMisread}}, {BoxKind::Refusal, refused(RefusalReason::KeyWithoutValue, 2)}, kMisread},
        MeanwhileCase{"AgainAndAgain", {{2, kEdited}, {4, kOtherEdit}, {6, kEdited}, {8, kOtherEdit}, {10, kEdited}},
                      {BoxKind::Refusal, refused(RefusalReason::ChangedWhileSaving, 0)}, kEdited},
        MeanwhileCase{"LongerWhileSaving", {{2, std::string(kDescriptor) + kAdded}}, kDeactivatedBox, kKept + kAdded + kNormalLibraryLine},
        MeanwhileCase{"BlankLinesAddedWhileSaving", {{2, std::string(kDescriptor) + kBlankLines}}, kDeactivatedBox, kKept + kBlankLines + kNormalLibraryLine}),
    testing_support::caseName);
// clang-format on

// What another program does to the descriptor while Velmora saves it.
struct OtherProgramCase {
    const char* name;
    std::optional<std::string> leaves;  // what it leaves at the name; nothing: it deletes it
    bool byRename = false;              // it puts a file of its own in the descriptor's place
    // It holds the descriptor open for this many of the replace tries (-1: for all of them),
    // and writes `leaves` while it holds it, at the first pause.
    int busyTries = 0;
    // liblist.gam after a save of what it left; nothing where no save can be made of it.
    std::optional<std::string> saved;
};

// Acts once, at call number `actAt` of a save: each call the save makes, on the file system
// or on its temporary file, is one step at which another program may act.
class AnotherProgram final : public FileSystem {
  public:
    AnotherProgram(const OtherProgramCase& action, int actAt) : action_(action), actAt_(actAt) {}

    void startCounting(NativeString descriptor) { descriptor_ = std::move(descriptor); }
    int steps() const { return steps_; }
    // It acted right before a replace that then succeeded: between Velmora's last look and
    // its replace, the one moment no file system lets a program close.
    bool actedInTheGap() const { return actedInTheGap_; }

    bool isRegularFile(const NativeString& path) override { return real_.isRegularFile(path); }
    FileResult readAtMost(const NativeString& path, std::size_t limit,
                          std::string& bytes) override {
        step();
        return real_.readAtMost(path, limit, bytes);
    }
    FileResult checkRewritable(const NativeString& path, CarriedAttributes& carried) override {
        step();
        return real_.checkRewritable(path, carried);
    }
    FileResult createNew(const NativeString& path, CarriedAttributes carried,
                         std::unique_ptr<WritableFile>& file) override {
        step();
        std::unique_ptr<WritableFile> realFile;
        FileResult error = real_.createNew(path, carried, realFile);
        if (!error) {
            file = std::make_unique<CountedFile>(*this, std::move(realFile));
        }
        return error;
    }
    FileResult replace(const NativeString& source, const NativeString& target) override {
        const bool actsNow = step();
        if (busyTriesLeft_ != 0) {
            --busyTriesLeft_;
            return FileError{FileOp::Replace, target, testing_support::kBusyCode};
        }
        FileResult error = real_.replace(source, target);
        actedInTheGap_ = actedInTheGap_ || (actsNow && !error);
        return error;
    }
    void remove(const NativeString& path) override { real_.remove(path); }
    void pauseWhileBusy() override {
        step();
        if (std::exchange(writesWhileHolding_, false)) {
            writeFile(descriptor_, *action_.leaves);
        }
    }

  private:
    class CountedFile final : public WritableFile {
      public:
        CountedFile(AnotherProgram& program, std::unique_ptr<WritableFile> real)
            : program_(program), real_(std::move(real)) {}
        const NativeString& path() const override { return real_->path(); }
        FileResult write(std::string_view bytes) override {
            program_.step();
            return real_->write(bytes);
        }
        FileResult flush() override {
            program_.step();
            return real_->flush();
        }
        FileResult close() override {
            program_.step();
            return real_->close();
        }

      private:
        AnotherProgram& program_;
        std::unique_ptr<WritableFile> real_;
    };

    // True at the step where the other program acts.
    bool step() {
        if (descriptor_.empty() || steps_++ != actAt_) {
            return false;
        }
        if (action_.busyTries != 0) {
            busyTriesLeft_ = action_.busyTries;
            writesWhileHolding_ = true;
        } else if (!action_.leaves) {
            std::filesystem::remove(descriptor_);
        } else if (action_.byRename) {
            const NativeString other = descriptor_ + nativeFromAscii(".other");
            writeFile(other, *action_.leaves);
            std::filesystem::rename(other, descriptor_);
        } else {
            writeFile(descriptor_, *action_.leaves);
        }
        return true;
    }

    FileSystem& real_ = platformFileSystem();
    const OtherProgramCase& action_;
    int actAt_;
    NativeString descriptor_;  // empty until start-up is over
    int steps_ = 0;
    int busyTriesLeft_ = 0;
    bool writesWhileHolding_ = false;
    bool actedInTheGap_ = false;
};

class OtherProgramAtEveryStep : public ::testing::TestWithParam<OtherProgramCase> {};

TEST_P(OtherProgramAtEveryStep, LosesNoChangeAndShowsATrueBox) {
    const OtherProgramCase& c = GetParam();
    const auto deactivate = [&](AnotherProgram& files, QoxGame& qox) {
        frmMain form = qox.form(files);
        EXPECT_TRUE(form.Form_Load());
        files.startCounting(qox.game.descriptor().native());
        return form.cmdOhne_Click();
    };
    const OtherProgramCase nothing{"Nothing", std::string(kDescriptor)};
    AnotherProgram counter(nothing, -1);
    QoxGame alone;
    ASSERT_TRUE(deactivate(counter, alone));
    ASSERT_GE(counter.steps(), 8) << "read, create, write, flush, close, look, replace at least";

    for (int step = 0; step < counter.steps(); ++step) {
        SCOPED_TRACE("the other program acts at step " + std::to_string(step));
        QoxGame qox;
        AnotherProgram files(c, step);
        const bool succeeded = deactivate(files, qox);
        std::optional<std::string> expected = c.saved ? c.saved : c.leaves;
        if (files.actedInTheGap()) {
            expected = std::string(kDeactivated);  // its change is the one that can be lost
        }
        EXPECT_EQ(succeeded, files.actedInTheGap() || c.saved.has_value());
        EXPECT_EQ(qox.boxes.shown.size(), 1u);
        using Folder = std::map<std::string, std::string>;
        const Folder folder = expected ? Folder{{"liblist.gam", *expected}} : Folder{};
        EXPECT_EQ(snapshot(qox.game.dir.path()), folder) << "nothing lost, nothing left behind";
    }
}

const std::string kInPlace =
    "game \"QOY\"\r\ngamedll \"dlls\\hl.dll\"\r\ngamedll_linux \"dlls/qox.so\"\r\n";
const std::string kInPlaceSaved =
    "game \"QOY\"\r\ngamedll_linux \"dlls/qox.so\"\r\ngamedll \"dlls\\hl.dll\"\r\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Actions, OtherProgramAtEveryStep,
    ::testing::Values(
        OtherProgramCase{"AByteChangedInPlace", kInPlace, false, 0, kInPlaceSaved},
        OtherProgramCase{"Longer", std::string(kDescriptor) + "version \"1.1\"\r\n", false, 0,
                         "game \"QOX\"\r\ngamedll_linux \"dlls/qox.so\"\r\nversion \"1.1\"\r\n" + kNormalLibraryLine},
        OtherProgramCase{"ShorterToItsStart", "game \"QOX\"\r\n", false, 0, "game \"QOX\"\r\n" + kNormalLibraryLine},
        OtherProgramCase{"Deleted", std::nullopt},
        OtherProgramCase{"ReplacedByAnother", kOtherEdit, true, 0, kOtherEdit + kNormalLibraryLine},
        OtherProgramCase{"HeldForAMomentAndChangedMeanwhile", kInPlace, false, 3, kInPlaceSaved},
        OtherProgramCase{"HeldForLong", std::string(kDescriptor), false, -1}),
    testing_support::caseName);
// clang-format on

// Larger than the game reads, but for its zero padding: the rest is never read.
TEST(FormCommand, RefusesADescriptorTheGameDoesNotStartWithUnreadToTheEnd) {
    QoxGame qox;
    const std::string padded = std::string(kDescriptor) + std::string(4 * kLargestDescriptor, '\0');
    writeFile(qox.game.descriptor(), padded);
    ChangingFileSystem files({});
    frmMain form = qox.form(files);
    ASSERT_TRUE(form.Form_Load());
    EXPECT_FALSE(form.cmdOhne_Click());
    EXPECT_EQ(qox.boxes.shown,
              (std::vector<Box>{{BoxKind::Refusal, refused(RefusalReason::TooLargeAlready, 0)}}));
    EXPECT_LE(files.largestRead, kLargestDescriptor + 1);
    EXPECT_EQ(readFile(qox.game.descriptor()), padded);
}

}  // namespace
}  // namespace velmora
