// swapcfg as server owners call it: from a batch file run by cmd, with the folder quoted the
// way batch files quote it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "case_name.h"
#include "file_set_layout.h"
#include "run_program.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace file_set_layout;
using testing_support::PrintTo;  // names the cases where gtest prints them

struct BatchCase {
    const char* name;
    Layout before;
    const char* lines;  // after `set GAME=` the game folder's full path, without a "\"
    Layout after;
};

class SwapcfgFromABatchFile : public ::testing::TestWithParam<BatchCase> {};

// The batch file and swapcfg.exe stand in the game folder, whose path holds blanks.
TEST_P(SwapcfgFromABatchFile, SwapsInTheQuotedFolder) {
    const BatchCase& c = GetParam();
    testing_support::TempDir root("batch");
    const fs::path folder = root / "My Games" / "qox";
    fs::create_directories(folder);
    writeLayout(folder, c.before);
    fs::copy_file(testing_support::siblingExecutable("swapcfg"), folder / "swapcfg.exe");
    const fs::path batch = folder / "switch.bat";
    testing_support::writeFile(
        batch, "@echo off\r\nset GAME=" + folder.string() + "\r\n" + c.lines + "\r\n");

    const auto result =
        testing_support::runProgram(::_wgetenv(L"ComSpec"), {L"/c", batch.native()});

    EXPECT_EQ(result.exitCode, 0);
    auto files = testing_support::snapshot(folder);
    files.erase("swapcfg.exe");
    files.erase("switch.bat");
    EXPECT_EQ(files, filesFor(c.after, ""));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, SwapcfgFromABatchFile,
    ::testing::Values(
        BatchCase{"InstallInItsOwnFolder", kFresh, R"("%~dp0swapcfg.exe" 1 "%~dp0")", kInstalled},
        BatchCase{"RestoreInItsOwnFolder", kInstalled, R"("%~dp0swapcfg.exe" 2 "%~dp0")", kFresh},
        BatchCase{"InstallInAFullPath", kFresh, R"("%GAME%\swapcfg.exe" 1 "%GAME%\")", kInstalled},
        BatchCase{"RestoreInAFullPath", kInstalled, R"("%GAME%\swapcfg.exe" 2 "%GAME%\")", kFresh},
        BatchCase{"InstallInTheCurrentFolder", kFresh, "cd /d \"%~dp0\"\r\nswapcfg.exe 1 \".\\\"", kInstalled},
        BatchCase{"RestoreInTheCurrentFolder", kInstalled, "cd /d \"%~dp0\"\r\nswapcfg.exe 2 \".\\\"", kFresh},
        BatchCase{"WithADoubledBackslash", kFresh, R"("%~dp0swapcfg.exe" 1 "%~dp0\")", kInstalled},
        BatchCase{"Unquoted", kFresh, "cd /d \"%~dp0\"\r\nswapcfg.exe 1 .\\", kInstalled},
        // cmd takes these off the line, but not the blank before them.
        BatchCase{"InstallWithoutOutput", kFresh, R"("%~dp0swapcfg.exe" 1 "%~dp0" >nul)", kInstalled},
        BatchCase{"RestoreWithoutOutput", kInstalled, R"("%~dp0swapcfg.exe" 2 "%~dp0" >nul)", kFresh},
        BatchCase{"InstallWithErrorsToOutput", kFresh, R"("%~dp0swapcfg.exe" 1 "%~dp0" 2>&1)", kInstalled},
        BatchCase{"RestoreWithErrorsToOutput", kInstalled, R"("%~dp0swapcfg.exe" 2 "%~dp0" 2>&1)", kFresh},
        BatchCase{"InstallThenEcho", kFresh, R"("%~dp0swapcfg.exe" 1 "%~dp0" && echo switched)", kInstalled},
        BatchCase{"RestoreThenEcho", kInstalled, R"("%~dp0swapcfg.exe" 2 "%~dp0" && echo switched)", kFresh},
        BatchCase{"InstallWithABlankAtTheEnd", kFresh, R"("%GAME%\swapcfg.exe" 1 "%GAME%\" )", kInstalled},
        BatchCase{"RestoreWithABlankAtTheEnd", kInstalled, R"("%GAME%\swapcfg.exe" 2 "%GAME%\" )", kFresh},
        BatchCase{"CalledWithoutOutput", kFresh, R"(call "%~dp0swapcfg.exe" 1 "%~dp0" >nul 2>nul)", kInstalled},
        BatchCase{"AfterATest", kFresh, R"(if exist "%~dp0liblist.bot" "%~dp0swapcfg.exe" 1 "%~dp0" & echo x)", kInstalled},
        BatchCase{"InstallInAFolderWithoutSeparator", kFresh, R"("%GAME%\swapcfg.exe" 1 "%GAME%")", kInstalled},
        BatchCase{"RestoreInAFolderWithoutSeparator", kInstalled, R"("%GAME%\swapcfg.exe" 2 "%GAME%")", kFresh}),
    testing_support::caseName);
// clang-format on

}  // namespace
