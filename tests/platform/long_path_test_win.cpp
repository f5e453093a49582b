// Velmora's and swapcfg's copies of the long-path form, held to one table.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "activator/long_path_win.h"
#include "case_name.h"
#include "switcher/long_path_win.h"

namespace {

using testing_support::PrintTo;  // names the cases where gtest prints them

struct LongPathCase {
    const char* name;
    std::wstring path;
    std::wstring expected;  // "%CD%" stands for the current directory
};

std::wstring currentDirectory() {
    std::wstring directory(32768, L'\0');
    directory.resize(
        ::GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data()));
    return directory;
}

// A folder nested past MAX_PATH characters below the drive or share that `root` names.
std::wstring deep(const std::wstring& root) {
    std::wstring path = root;
    for (int level = 0; level < 20; ++level) {
        path += L"folder-0123456789\\";
    }
    return path;
}

class LongPathForm : public ::testing::TestWithParam<LongPathCase> {};

TEST_P(LongPathForm, IsAbsoluteResolvedAndPrefixed) {
    std::wstring expected = GetParam().expected;
    if (const auto at = expected.find(L"%CD%"); at != std::wstring::npos) {
        expected.replace(at, 4, currentDirectory());
    }
    EXPECT_EQ(velmora::longPathForm(GetParam().path), expected);
    EXPECT_EQ(swapcfg::longPathForm(GetParam().path), expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, LongPathForm,
    ::testing::Values(
        LongPathCase{"Drive", L"C:\\Games\\qox\\liblist.gam", L"\\\\?\\C:\\Games\\qox\\liblist.gam"},
        LongPathCase{"Share", L"\\\\server\\games\\qox\\liblist.gam", L"\\\\?\\UNC\\server\\games\\qox\\liblist.gam"},
        LongPathCase{"Relative", L"liblist.gam", L"\\\\?\\%CD%\\liblist.gam"},
        LongPathCase{"AlreadyLong", L"\\\\?\\C:\\Games\\..\\qox/liblist.gam", L"\\\\?\\C:\\Games\\..\\qox/liblist.gam"},
        LongPathCase{"Device", L"\\\\.\\pipe\\liblist.bak", L"\\\\.\\pipe\\liblist.bak"},
        LongPathCase{"ForwardSlashes", L"C:/Games/qox/liblist.gam", L"\\\\?\\C:\\Games\\qox\\liblist.gam"},
        LongPathCase{"DotDot", L"C:\\Games\\other\\..\\qox\\.\\liblist.gam", L"\\\\?\\C:\\Games\\qox\\liblist.gam"},
        LongPathCase{"DeepFolder", deep(L"C:\\") + L"qox/liblist.gam", L"\\\\?\\" + deep(L"C:\\") + L"qox\\liblist.gam"},
        LongPathCase{"DeepFolderOnAShare", deep(L"//server/games/") + L"liblist.gam", L"\\\\?\\UNC\\" + deep(L"server\\games\\") + L"liblist.gam"},
        LongPathCase{"TrailingDot", L"C:\\Games\\qox\\liblist.gam.", L"\\\\?\\C:\\Games\\qox\\liblist.gam"}),
    testing_support::caseName);
// clang-format on

}  // namespace
