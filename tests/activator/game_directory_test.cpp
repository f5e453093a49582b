#include "game_directory.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// Test paths are written with "/" and turned into the platform's separator.
NativeString path(std::string_view text) {
    NativeString native = nativeFromAscii(text);
    for (auto& c : native) {
        c = c == '/' ? kPathSeparator : c;
    }
    return native;
}

struct PathCase {
    const char* executable;
    const char* directory;
    const char* descriptor;
};

void PrintTo(const PathCase& c, std::ostream* out) {
    *out << c.executable;
}

class PathForming : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathForming, DirectoryAndDescriptorHaveExactlyOneSeparatorBetween) {
    const PathCase& c = GetParam();
    const NativeString directory = applicationDirectoryOf(path(c.executable));
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
    const char* directory;
    bool isQox;
};

void PrintTo(const NameCase& c, std::ostream* out) {
    *out << c.directory;
}

class DirectoryNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(DirectoryNameTest, LooksForTheNameInAnyLetterCaseAnywhereInThePath) {
    EXPECT_EQ(isQoxDirectory(path(GetParam().directory)), GetParam().isQox) << GetParam().directory;
}

INSTANTIATE_TEST_SUITE_P(Cases, DirectoryNameTest,
                         ::testing::Values(NameCase{"C:/Games/Half-Life/qox", true},
                                           NameCase{"C:/Games/Half-Life/QoX", true},
                                           NameCase{"C:/Games/QOX/extras", true},
                                           NameCase{"C:/Games/Half-Life/myqoxmod", true},
                                           NameCase{"C:/Games/Half-Life/qo/x", false},
                                           NameCase{"C:/Games/Half-Life/QO-X", false},
                                           NameCase{"C:/Games/Half-Life/cstrike", false},
                                           NameCase{"C:/", false}, NameCase{"", false}));

}  // namespace
}  // namespace velmora
