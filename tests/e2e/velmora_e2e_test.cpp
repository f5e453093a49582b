// The real Velmora.exe, started from game directories of our making and driven through its
// window and message boxes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "case_name.h"
#include "held_file_win.h"
#include "platform_files.h"
#include "run_program.h"
#include "temp_dir.h"
#include "velmora_texts.h"
#include "window_driver_win.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing_support::kMessage1;
using testing_support::kMessage2;
using testing_support::PrintTo;  // names the cases where gtest prints them
using testing_support::snapshot;
using testing_support::TempDir;

constexpr char kDescriptor[] =
    "game \"QOX\"\r\ngamedll \"dlls\\hl.dll\"\r\ngamedll_linux \"dlls/qox.so\"\r\ntype "
    "\"multiplayer_only\"\r\n";
constexpr char kActivated[] =
    "game \"QOX\"\r\ngamedll_linux \"dlls/qox.so\"\r\ntype \"multiplayer_only\"\r\n"
    "gamedll \"dlls\\qox_bot.dll\"\r\n";
constexpr char kDeactivated[] =
    "game \"QOX\"\r\ngamedll_linux \"dlls/qox.so\"\r\ntype \"multiplayer_only\"\r\n"
    "gamedll \"dlls\\hl.dll\"\r\n";

// Written as the game reads it: the key in any letter case, comments and values that mention
// it, and zero padding at the end.
const std::string kAsTheGameReadsIt =
    "game \"QOX\"\r\nGameDLL \"dlls\\hl.dll\"\r\n// gamedll \"dlls\\old.dll\"\r\n"
    "game \"gamedll test\"\r\n\0\0\0\0"s;
const std::string kAsTheGameReadsItActivated =
    "game \"QOX\"\r\n// gamedll \"dlls\\old.dll\"\r\ngame \"gamedll test\"\r\n"
    "gamedll \"dlls\\qox_bot.dll\"\r\n";

// A descriptor the game would misread: it would take gamedll for url_dl's value.
constexpr char kMisread[] = "game \"QOX\"\r\nurl_dl\r\ngamedll \"dlls\\hl.dll\"\r\n";
constexpr wchar_t kMisreadText[] =
    L"liblist.gam was not changed.\r\n\r\n"
    L"Line 2 holds a setting without a value:\r\n    url_dl\r\n\r\n"
    L"The game reads liblist.gam as pairs of words, each a setting and its value. It would take "
    L"the next word as the value of url_dl, and read every setting after it one word off, so it "
    L"would not find its game library.\r\n\r\n"
    L"Give url_dl a value on the same line, such as url_dl \"\", or remove line 2, and try again.";

// The bot variant that swapcfg puts in place while the window is open.
constexpr char kBotVariant[] = "game \"QOX\"\r\nbots \"6\"\r\ngamedll \"dlls\\hl.dll\"\r\n";
constexpr char kBotVariantActivated[] =
    "game \"QOX\"\r\nbots \"6\"\r\ngamedll \"dlls\\qox_bot.dll\"\r\n";

using Files = std::map<std::string, std::string>;
const Files kWithBots = {
    {"liblist.gam", kDescriptor}, {"bot.cfg", "bot_quota 4\r\n"}, {"dlls/qox_bot.dll", "MZ"}};
const Files kWithoutBots = {{"liblist.gam", kDescriptor}};

// A game directory holding a copy of Velmora.exe, as a user would lay it out.
// With `folders`, the game directory is that path (UTF-8, "/"-separated) below the
// temporary folder named `name`.
struct Game {
    TempDir root;
    fs::path dir;
    fs::path program;
    Game(std::string_view name, const Files& files, std::u8string_view folders = {})
        : root(name),
          dir(folders.empty() ? root.path() : (root.path() / fs::path(folders)).make_preferred()),
          program(dir / "Velmora.exe") {
        fs::create_directories(dir);
        fs::copy_file(testing_support::siblingExecutable("Velmora"), program);
        for (const auto& [file, bytes] : files) {
            fs::create_directories((dir / file).parent_path());
            testing_support::writeFile(dir / file, bytes);
        }
    }
    std::string descriptor() const { return testing_support::readFile(dir / "liblist.gam"); }
};

struct ExpectedBox {
    std::wstring title;
    std::wstring text;  // the whole text, or with `textIsStart` its beginning
    bool stopIcon;
    bool textIsStart = false;
};

void expectBox(const e2e::BoxContent& box, const ExpectedBox& expected) {
    EXPECT_EQ(box.title, expected.title);
    if (expected.textIsStart) {
        EXPECT_EQ(box.text.substr(0, expected.text.size()), expected.text)
            << testing::PrintToString(box.text);
    } else {
        EXPECT_EQ(box.text, expected.text);
    }
    EXPECT_EQ(box.hasIcon, expected.stopIcon);
}

// Start-up refusals: the box comes before any window, and the program ends after OK.
struct RefusalCase {
    const char* name;
    const char* directory;
    Files files;
    std::string_view text;
};

class StartUpRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(StartUpRefusal, ShowsTheErrorEndsAfterOkAndTouchesNothing) {
    const RefusalCase& c = GetParam();
    Game game(c.directory, c.files);
    const auto before = snapshot(game.dir);
    e2e::RunningProgram program(game.program);

    const HWND box = program.waitForMessageBox();
    ASSERT_NE(box, nullptr);
    expectBox(e2e::readMessageBox(box), {L"Error", testing_support::wide(c.text), true});
    EXPECT_EQ(program.findWindow(L"frmMain"), nullptr) << "the window must never be shown";
    e2e::pressOk(box);
    EXPECT_EQ(program.waitForExit(), 1u);
    EXPECT_EQ(snapshot(game.dir), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartUpRefusal,
    ::testing::Values(RefusalCase{"NotAQoxDirectory", "othermod", kWithBots, kMessage1},
                      RefusalCase{"NotAQoxDirectoryNorDescriptor", "basegame", {}, kMessage1},
                      RefusalCase{"QoxDirectoryWithoutDescriptor", "qox", {}, kMessage2},
                      RefusalCase{
                          "NameInsideALongerWord", "myQoXmod", {{"bot.cfg", ""}}, kMessage2}),
    testing_support::caseName);

enum class Action {
    ClickActivate,
    ClickDeactivate,
    AltA,
    AltD,
    Enter,
    TabThenSpace,
    Close,
    Escape
};

struct CommandCase {
    const char* name;
    Files files;
    bool readOnlyDescriptor;
    Action action;
    std::optional<ExpectedBox> box;
    std::string expectedDescriptor;
    DWORD exitCode;
    bool closeWhileBoxIsUp = false;  // instead of pressing OK
    std::u8string_view folders;      // the game directory below the temporary folder
    bool swapcfgWhileOpen = false;   // "swapcfg 1" on the game directory before the action
    // Another process holds liblist.gam open for writing, sharing all but deletion, and
    // writes this into it while Velmora tries to put its temporary file in its place.
    std::string_view changedWhileHeld;
};

void perform(Action action, HWND window) {
    const auto button = [&](int index) {
        HWND child = ::GetWindow(window, GW_CHILD);
        return index == 0 ? child : ::GetWindow(child, GW_HWNDNEXT);
    };
    switch (action) {
        case Action::ClickActivate:
            ::PostMessageW(button(0), BM_CLICK, 0, 0);
            return;
        case Action::ClickDeactivate:
            ::PostMessageW(button(1), BM_CLICK, 0, 0);
            return;
        case Action::Close:
            ::PostMessageW(window, WM_CLOSE, 0, 0);
            return;
        default:
            break;
    }
    e2e::bringToFront(window);
    switch (action) {
        case Action::AltA:
            e2e::typeAltKey(L'A');
            return;
        case Action::AltD:
            e2e::typeAltKey(L'D');
            return;
        case Action::Enter:
            e2e::typeKey(VK_RETURN);
            return;
        case Action::TabThenSpace:
            e2e::typeKey(VK_TAB);
            e2e::typeKey(VK_SPACE);
            return;
        default:
            e2e::typeKey(VK_ESCAPE);
            return;
    }
}

// The holder writes its change this long after Velmora's temporary file appears, when
// Velmora has found the file held and is trying its replace again, and lets go as long
// after that: well within the second Velmora keeps trying.
constexpr int kHeldAfterChangeMs = 200;

class WindowCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(WindowCommand, ReportsTheOutcomeWritesTheDescriptorAndEnds) {
    const CommandCase& c = GetParam();
    Game game("qox", c.files, c.folders);
    if (c.readOnlyDescriptor) {
        testing_support::makeReadOnly(game.dir / "liblist.gam");
    }
    e2e::RunningProgram program(game.program);
    const HWND window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    if (c.swapcfgWhileOpen) {
        testing_support::runProgram(testing_support::siblingExecutable("swapcfg"),
                                    {L"1", game.dir.native() + L"\\"});
    }
    const TempDir changes("change");
    std::optional<testing_support::HeldFile> holder;
    if (!c.changedWhileHeld.empty()) {
        testing_support::writeFile(changes / "liblist.gam", c.changedWhileHeld);
        holder.emplace(game.dir / "liblist.gam", kHeldAfterChangeMs, changes / "liblist.gam");
    }

    perform(c.action, window);
    if (c.box) {
        const HWND box = program.waitForMessageBox();
        ASSERT_NE(box, nullptr);
        expectBox(e2e::readMessageBox(box), *c.box);
        if (c.closeWhileBoxIsUp) {
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        } else {
            e2e::pressOk(box);
        }
    }
    EXPECT_EQ(program.waitForExit(), c.exitCode);
    holder.reset();
    EXPECT_EQ(game.descriptor(), c.expectedDescriptor);
    // Velmora.exe, the folder dlls where there is one, and swapcfg's record where it ran.
    EXPECT_EQ(snapshot(game.dir).size(), c.files.size() + 1 +
                                             (c.files.contains("dlls/qox_bot.dll") ? 1 : 0) +
                                             (c.swapcfgWhileOpen ? 1 : 0))
        << "no file is left behind";
}

const ExpectedBox kActivatedBox{L"", testing_support::wide(testing_support::kBotsActivated), false};
const ExpectedBox kDeactivatedBox{L"", testing_support::wide(testing_support::kBotsDeactivated),
                                  false};
const ExpectedBox kNotInstalledBox{L"Error", testing_support::wide(testing_support::kNotInstalled),
                                   true};

INSTANTIATE_TEST_SUITE_P(
    Cases, WindowCommand,
    ::testing::Values(
        CommandCase{"ActivateByClick", kWithBots, false, Action::ClickActivate, kActivatedBox,
                    kActivated, 0},
        CommandCase{"ActivateByAltA", kWithBots, false, Action::AltA, kActivatedBox, kActivated, 0},
        CommandCase{"ActivateByEnterOnFocusedButton", kWithBots, false, Action::Enter,
                    kActivatedBox, kActivated, 0},
        CommandCase{"ActivateAsTheGameReadsIt",
                    {{"liblist.gam", kAsTheGameReadsIt}, {"bot.cfg", ""}, {"dlls/qox_bot.dll", ""}},
                    false,
                    Action::ClickActivate,
                    kActivatedBox,
                    kAsTheGameReadsItActivated,
                    0},
        CommandCase{"RefusedForWhatTheGameWouldMisread",
                    {{"liblist.gam", kMisread}, {"bot.cfg", ""}, {"dlls/qox_bot.dll", ""}},
                    false,
                    Action::ClickActivate,
                    ExpectedBox{L"Error", kMisreadText, true},
                    kMisread,
                    1},
        CommandCase{"ActivateKeepsWhatSwapcfgPutInPlaceMeanwhile",
                    {{"liblist.gam", kDescriptor},
                     {"liblist.bot", kBotVariant},
                     {"bot.cfg", ""},
                     {"dlls/qox_bot.dll", ""}},
                    false,
                    Action::ClickActivate,
                    kActivatedBox,
                    kBotVariantActivated,
                    0,
                    false,
                    {},
                    true},
        CommandCase{"DeactivateKeepsAChangeWrittenWhileTheFileIsHeld",
                    kWithBots,
                    false,
                    Action::ClickDeactivate,
                    kDeactivatedBox,
                    "game \"edited\"\r\ngamedll \"dlls\\hl.dll\"\r\n",
                    0,
                    false,
                    {},
                    false,
                    "game \"edited\"\r\ngamedll \"dlls\\qox_bot.dll\"\r\n"},
        CommandCase{"ActivateInAFolderOutsideAscii", kWithBots, false, Action::ClickActivate,
                    kActivatedBox, kActivated, 0, false,
                    u8"Spiele \u00e4\u00f6\u00fc/\u0418\u0433\u0440\u044b/\u6e38\u620f/qox"},
        CommandCase{"ActivateWithoutBotLibrary",
                    {{"liblist.gam", kDescriptor}, {"bot.cfg", ""}},
                    false,
                    Action::ClickActivate,
                    kNotInstalledBox,
                    kDescriptor,
                    1},
        CommandCase{"ActivateWithoutBotFiles", kWithoutBots, false, Action::AltA, kNotInstalledBox,
                    kDescriptor, 1},
        CommandCase{"DeactivateByClick", kWithBots, false, Action::ClickDeactivate, kDeactivatedBox,
                    kDeactivated, 0},
        CommandCase{"DeactivateByAltD", kWithoutBots, false, Action::AltD, kDeactivatedBox,
                    kDeactivated, 0},
        CommandCase{"DeactivateByTabAndSpace", kWithoutBots, false, Action::TabThenSpace,
                    kDeactivatedBox, kDeactivated, 0},
        CommandCase{"ReadOnlyDescriptor", kWithBots, true, Action::ClickDeactivate,
                    ExpectedBox{L"Error", L"Could not save ", true, true}, kDescriptor, 1},
        CommandCase{"ClosedWhileTheNotInstalledBoxIsUp", kWithoutBots, false, Action::AltA,
                    kNotInstalledBox, kDescriptor, 1, true},
        CommandCase{"ClosedWhileTheRefusedSaveBoxIsUp", kWithBots, true, Action::ClickDeactivate,
                    ExpectedBox{L"Error", L"Could not save ", true, true}, kDescriptor, 1, true},
        CommandCase{"ClosedWhileTheSuccessBoxIsUp", kWithBots, false, Action::ClickDeactivate,
                    kDeactivatedBox, kDeactivated, 0, true},
        CommandCase{"CloseWritesNothing", kWithBots, false, Action::Close, std::nullopt,
                    kDescriptor, 0},
        CommandCase{"EscapeWritesNothing", kWithBots, false, Action::Escape, std::nullopt,
                    kDescriptor, 0}),
    testing_support::caseName);

// The screen's DPI the test runs at; sizes in the design are pixels at 96 DPI.
int testDpi() {
    const char* dpi = std::getenv("VELMORA_TEST_DPI");
    return dpi != nullptr ? std::atoi(dpi) : 96;
}

LONG at(int pixels) {
    return ::MulDiv(pixels, testDpi(), 96);
}

TEST(Window, HasTheCaptionSizeButtonsAndTabOrderOfItsDesign) {
    Game game("qox", kWithBots);
    e2e::RunningProgram program(game.program);
    const HWND window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(e2e::textOf(window), L"QOX Bot Activator");
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, at(232));
    EXPECT_EQ(client.bottom, at(54));

    const HWND first = ::GetWindow(window, GW_CHILD);
    const HWND second = ::GetWindow(first, GW_HWNDNEXT);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(::GetWindow(second, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(e2e::textOf(first), L"&Activate Bots");
    EXPECT_EQ(e2e::textOf(second), L"&Deactivate Bots");
    const RECT mit = e2e::boundsInParent(first);
    const RECT ohne = e2e::boundsInParent(second);
    EXPECT_EQ((std::array<LONG, 4>{mit.left, mit.top, mit.right - mit.left, mit.bottom - mit.top}),
              (std::array<LONG, 4>{at(4), at(12), at(109), at(29)}));
    EXPECT_EQ(
        (std::array<LONG, 4>{ohne.left, ohne.top, ohne.right - ohne.left, ohne.bottom - ohne.top}),
        (std::array<LONG, 4>{at(120), at(12), at(109), at(29)}));
    for (const HWND button : {first, second}) {
        EXPECT_NE(::GetWindowLongPtrW(button, GWL_STYLE) & WS_TABSTOP, 0);
    }
    EXPECT_EQ(e2e::focusOf(program.threadId()), first);
    const LONG_PTR style = ::GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "fixed size";
    // Common Controls 6, as the manifest asks, though loaded by name after the program starts.
    EXPECT_NE(program.loadedModule(L"comctl32.dll")
                  .wstring()
                  .find(L"common-controls_6595b64144ccf1df_6."),
              std::wstring::npos)
        << program.loadedModule(L"comctl32.dll");

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
    EXPECT_EQ(game.descriptor(), kDescriptor);
}

struct MinimizedCase {
    const char* name;
    WORD showCommand;
};

class StartedMinimized : public ::testing::TestWithParam<MinimizedCase> {};

// No key reaches a button the user cannot see.
TEST_P(StartedMinimized, TakesNoKeyUntilRestored) {
    Game game("qox", kWithBots);
    e2e::RunningProgram program(game.program, GetParam().showCommand);
    const HWND window = program.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(::IsIconic(window));
    e2e::bringToFront(window);
    e2e::typeKey(VK_RETURN);
    e2e::typeAltKey(L'A');
    ::Sleep(300);  // long enough for a box to open, had a key pressed a button
    EXPECT_EQ(program.findWindow(L"#32770"), nullptr);
    EXPECT_EQ(game.descriptor(), kDescriptor);

    ::PostMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    const HWND first = ::GetWindow(window, GW_CHILD);
    for (int waited = 0; waited < 2000 && e2e::focusOf(program.threadId()) != first; waited += 20) {
        ::Sleep(20);
    }
    EXPECT_EQ(e2e::focusOf(program.threadId()), first);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.waitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, StartedMinimized,
                         ::testing::Values(MinimizedCase{"FromAShortcutSetToRunMinimized",
                                                         SW_SHOWMINNOACTIVE},
                                           MinimizedCase{"AndActive", SW_SHOWMINIMIZED}),
                         testing_support::caseName);

}  // namespace
