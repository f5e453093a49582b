#include "game_directory.h"

#include <gtest/gtest.h>

#include "case_name.h"

namespace velmora {
namespace {

using testing_support::PrintTo;  // names the cases where gtest prints them

// Test paths are written with "/" and turned into the platform's separator.
NativeString path(std::string_view text) {
    NativeString native = nativeFromAscii(text);
    for (auto& c : native) {
        c = c == '/' ? kPathSeparator : c;
    }
    return native;
}

struct PathCase {
    const char* name;  // the executable's path
    const char* directory;
    const char* descriptor;
};

class PathForming : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathForming, DirectoryAndDescriptorHaveExactlyOneSeparatorBetween) {
    const PathCase& c = GetParam();
    const NativeString directory = applicationDirectoryOf(path(c.name));
    EXPECT_EQ(directory, path(c.directory));
    EXPECT_EQ(descriptorPathIn(directory), path(c.descriptor));
}

INSTANTIATE_TEST_SUITE_P(Cases, PathForming,
                         ::testing::Values(PathCase{"C:/Games/qox/Velmora.exe", "C:/Games/qox",
                                                    "C:/Games/qox/liblist.gam"},
                                           PathCase{"C:/Velmora.exe", "C:/", "C:/liblist.gam"},
                                           PathCase{"//?/C:/Velmora.exe", "//?/C:/",
                                                    "//?/C:/liblist.gam"},
                                           PathCase{"//server/qox/Velmora.exe", "//server/qox",
                                                    "//server/qox/liblist.gam"},
                                           PathCase{"/Velmora", "/", "/liblist.gam"}));

TEST(BotFiles, AreFormedByPlainJoining) {
    EXPECT_EQ(botConfigPathIn(path("D:/qox")), path("D:/qox/bot.cfg"));
    EXPECT_EQ(botLibraryPathIn(path("D:/qox")), path("D:/qox/dlls/qox_bot.dll"));
}

struct NameCase {
    const char* name;  // the application directory
    bool isQox;
};

class DirectoryNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(DirectoryNameTest, LooksForTheNameInAnyLetterCaseAnywhereInThePath) {
    EXPECT_EQ(isQoxDirectory(path(GetParam().name)), GetParam().isQox) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Cases, DirectoryNameTest,
                         ::testing::Values(NameCase{"C:/Games/Arena/qox", true},
                                           NameCase{"C:/Games/Arena/QoX", true},
                                           NameCase{"C:/Games/QOX/extras", true},
                                           NameCase{"C:/Games/Arena/myqoxmod", true},
                                           NameCase{"C:/Games/Arena/qo/x", false},
                                           NameCase{"C:/Games/Arena/QO-X", false},
                                           NameCase{"C:/Games/Arena/othermod", false},
                                           NameCase{"C:/", false}, NameCase{"", false}));

}  // namespace
}  // namespace velmora
