#include "descriptor.h"

#include <gtest/gtest.h>

#include "case_name.h"

namespace velmora {
namespace {

using namespace std::string_literals;
using testing_support::PrintTo;  // names the cases where gtest prints them

constexpr std::string_view kBotLine = "gamedll \"dlls\\qox_bot.dll\"\r\n";

struct RewriteCase {
    const char* name;
    std::string input;
    std::string expected;  // after rewriting with qox_bot.dll
};

class DescriptorRewrite : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(DescriptorRewrite, KeepsOrdinaryLinesAndEndsWithTheNewLibraryLine) {
    const RewriteCase& c = GetParam();
    const std::string rewritten =
        rewrittenDescriptor(keepOrdinaryLines(c.input), "qox_bot.dll").bytes;
    EXPECT_EQ(rewritten, c.expected);
    // Rewriting again gives the same bytes: the line written is the line dropped next time.
    EXPECT_EQ(rewrittenDescriptor(keepOrdinaryLines(rewritten), "qox_bot.dll").bytes, rewritten);
}

std::string withBotLine(std::string_view before) {
    return std::string(before) + std::string(kBotLine);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DescriptorRewrite,
    ::testing::Values(
        RewriteCase{"TypicalDescriptor",
                    "game \"QOX\"\r\ngamedll \"dlls\\hl.dll\"\r\ngamedll_linux \"dlls/qox.so\"\r\n"
                    "type \"multiplayer_only\"\r\n",
                    withBotLine("game \"QOX\"\r\ngamedll_linux \"dlls/qox.so\"\r\n"
                                "type \"multiplayer_only\"\r\n")},
        RewriteCase{"TwoGameLibraryLinesBothDropped",
                    "gamedll \"a.dll\"\r\ngame \"x\"\r\ngamedll \"b.dll\"\r\n",
                    withBotLine("game \"x\"\r\n")},
        RewriteCase{"KeyInAnyLetterCase", "GameDLL \"dlls\\hl.dll\"\r\nGAMEDLL \"x\"\r\n",
                    std::string(kBotLine)},
        RewriteCase{"KeyIndentedQuotedOrFollowedByATab",
                    "a\r\n \t\x0bgamedll \"x\"\r\n\"GameDll\" \"y\"\r\ngamedll\t\"z\"\r\n",
                    withBotLine("a\r\n")},
        RewriteCase{"KeyEndedByABracketOrAComma",
                    "gamedll(\"dlls\\hl.dll\")\r\ngamedll,\"x\"\r\na b\r\n",
                    withBotLine("a b\r\n")},
        RewriteCase{
            "CommentAfterTheValueMentioningAnotherPlatform",
            "gamedll \"dlls\\hl.dll\" // see gamedll_linux\r\ngamedll \"dlls\\qox_osx.dll\"\r\n",
            std::string(kBotLine)},
        RewriteCase{
            "GamedllInsideOtherTextIsOrdinary",
            "// gamedll \"x\"\r\n//gamedll \"x\"\r\ngamedllx \"y\"\r\ngame \"gamedll test\"\r\n"
            "url_info \"www.example.com/gamedll\"\r\n",
            withBotLine("// gamedll \"x\"\r\n//gamedll \"x\"\r\ngamedllx \"y\"\r\n"
                        "game \"gamedll test\"\r\nurl_info \"www.example.com/gamedll\"\r\n")},
        RewriteCase{
            "OtherPlatformsKeysInAnyLetterCase",
            "gamedll_LINUX \"dlls/qox.so\"\r\nGameDLL_osx \"dlls/qox.dylib\"\r\n",
            withBotLine("gamedll_LINUX \"dlls/qox.so\"\r\nGameDLL_osx \"dlls/qox.dylib\"\r\n")},
        RewriteCase{"SevenLettersFromAG", "gameurl \"x\"\r\n", withBotLine("gameurl \"x\"\r\n")},
        RewriteCase{"MacLibraryLineIsKept", "gamedll_osx \"dlls/qox.dylib\"\r\ngamedll \"x\"\r\n",
                    withBotLine("gamedll_osx \"dlls/qox.dylib\"\r\n")},
        RewriteCase{"BlankLinesComeBack", "a\r\n\r\nb\r\n", withBotLine("a\r\n\r\nb\r\n")},
        RewriteCase{"LastLineWithoutLineEnd", "a\r\nb", withBotLine("a\r\nb\r\n")},
        RewriteCase{"LoneLineFeeds", "a\nb\ngamedll \"x\"\nc\n", withBotLine("a\r\nb\r\nc\r\n")},
        RewriteCase{"LoneCarriageReturns", "a\rgamedll \"x\"\rb\r", withBotLine("a\r\nb\r\n")},
        RewriteCase{"MixedLineEnds", "a\r\r\nb\n\rc", withBotLine("a\r\n\r\nb\r\n\r\nc\r\n")},
        RewriteCase{"EmptyFile", "", std::string(kBotLine)},
        RewriteCase{"OnlyGameLibraryLines", "gamedll \"a\"\r\ngamedll \"b\"",
                    std::string(kBotLine)},
        RewriteCase{"OneBlankLine", "\r\n", withBotLine("\r\n")},
        RewriteCase{"BytesOutsideAsciiUnchanged", "game \"\xC4\xF6\xFC\x80\xFF\"\r\n",
                    withBotLine("game \"\xC4\xF6\xFC\x80\xFF\"\r\n")},
        RewriteCase{"NulBytesInsideUnchanged", "a\0b\r\n\0gamedll \"x\"\r\n"s,
                    withBotLine("a\0b\r\n\0gamedll \"x\"\r\n"s)},
        RewriteCase{"ZeroPaddingAtTheEndIsNotWrittenBack", "a\r\ngamedll \"x\"\r\n\0\0\0"s,
                    withBotLine("a\r\n")},
        RewriteCase{"ZeroPaddingAfterALastLineWithoutEnd", "a\0\0"s, withBotLine("a\r\n")},
        RewriteCase{"OnlyZeroPadding", "\0\0\0\0"s, std::string(kBotLine)}),
    testing_support::caseName);

TEST(GameLibraryLine, NamesTheLibraryUnderDllsWithABackslashAndNoTrailingBlanks) {
    EXPECT_EQ(gameLibraryLine("hl.dll"), "gamedll \"dlls\\hl.dll\"");
}

TEST(GameLibraryLine, DeactivatingAfterActivatingGivesTheNormalLibraryLast) {
    const std::string active =
        rewrittenDescriptor(keepOrdinaryLines("a\r\ngamedll \"x\"\r\n"), "qox_bot.dll").bytes;
    EXPECT_EQ(rewrittenDescriptor(keepOrdinaryLines(active), "hl.dll").bytes,
              "a\r\ngamedll \"dlls\\hl.dll\"\r\n");
}

}  // namespace
}  // namespace velmora
