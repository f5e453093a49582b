#include "descriptor_check.h"

#include <gtest/gtest.h>

#include "case_name.h"
#include "descriptor.h"
#include "game_reader.h"

namespace velmora {
namespace {

using namespace std::string_literals;
using testing_support::PrintTo;  // names the cases where gtest prints them

struct CheckCase {
    const char* name;
    std::string descriptor;
    bool refused = false;
    RefusalReason reason = RefusalReason::Unexplained;
    int line = 0;
    bool lineIsReplaced = false;     // the line named is a game-library line
    std::vector<std::string> words;  // the words read on it, where a row names them
};

class RewriteCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(RewriteCheck, RefusesWhatTheGameWouldMisreadAndNamesTheLine) {
    const CheckCase& c = GetParam();
    const RewrittenDescriptor rewritten =
        rewrittenDescriptor(keepOrdinaryLines(c.descriptor), "qox_bot.dll");
    const std::optional<Refusal> refusal = checkRewrite(c.descriptor, rewritten);
    ASSERT_EQ(refusal.has_value(), c.refused);
    if (refusal) {
        EXPECT_EQ(refusal->reason, c.reason);
        EXPECT_EQ(refusal->line, c.line);
        EXPECT_EQ(refusal->lineIsReplaced, c.lineIsReplaced);
        if (!c.words.empty()) {
            EXPECT_EQ(refusal->words, c.words);
        }
    }
}

const std::string kTooLarge(300'000, 'x');

// Exactly as large as the game reads, until its line ends become CR LF.
std::string growingPastTheLimit() {
    std::string descriptor;
    while (descriptor.size() < kLargestDescriptor) {
        descriptor += "x y\n";
    }
    return descriptor;
}

// Exactly as large as the game reads, before the rewrite and after it: its game-library line
// already names the library and stands last. (The first line's second blank makes the
// five-byte lines end at the limit.)
std::string atTheLimit() {
    const std::string last = "gamedll \"dlls\\qox_bot.dll\"\r\n";
    std::string descriptor = "x  y\r\n";
    while (descriptor.size() + last.size() < kLargestDescriptor) {
        descriptor += "x y\r\n";
    }
    return descriptor + last;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, RewriteCheck,
    ::testing::Values(
        CheckCase{"QuoteNeverClosed", "game \"QOX\"\r\ngamedll \"dlls\\hl.dll\"\r\ntype \"multipla", true, RefusalReason::UnclosedQuote, 3},
        CheckCase{"KeyWithoutValue", "game \"QOX\"\r\nurl_dl\r\ngamedll \"dlls\\hl.dll\"\r\ntype \"x\"\r\n", true, RefusalReason::KeyWithoutValue, 2},
        CheckCase{"ThreeUnquotedWords", "game QOX Mod\r\ngamedll \"dlls\\hl.dll\"\r\n", true, RefusalReason::UnpairedWords, 1, false, {"game", "QOX", "Mod"}},
        CheckCase{"Brackets", "version \"1\"\r\ngame QOX (beta)\r\n", true, RefusalReason::UnpairedWords, 2},
        CheckCase{"AllOnOneLine", "game \"QOX\" gamedll \"dlls\\hl.dll\" type \"x\"\r\n", true, RefusalReason::GamedllSharesLine, 1},
        CheckCase{"GamedllLineWithAnotherSetting", "game \"QOX\"\r\ngamedll \"dlls\\hl.dll\" type \"x\"\r\n", true, RefusalReason::GamedllSharesLine, 2, true},
        CheckCase{"ValueOnTheNextLine", "game \"QOX\"\r\ngamedll\r\n\"dlls\\hl.dll\"\r\n", true, RefusalReason::GamedllValueOnNextLine, 2, true},
        CheckCase{"UnicodeWithAMark", "\xFF\xFEg\0a\0m\0e\0 \0x\0\r\0\n\0"s, true, RefusalReason::SavedAsUnicode, 0},
        CheckCase{"UnicodeWithoutAMark", "g\0a\0m\0e\0 \0x\0\r\0\n\0"s, true, RefusalReason::SavedAsUnicode, 0},
        CheckCase{"BigEndianUnicodeWithAMark", "\xFE\xFF\0g\0a\0m\0e\0 \0x\0\r\0\n"s, true, RefusalReason::SavedAsUnicode, 0},
        CheckCase{"BigEndianUnicodeWithoutAMark", "\0g\0a\0m\0e\0 \0x\0\r\0\n"s, true, RefusalReason::SavedAsUnicode, 0},
        CheckCase{"ZeroByteSecond", "g\0ame \"QOX\"\r\n"s, true, RefusalReason::ZeroByte, 1},
        CheckCase{"ZeroByteInside", "game \"QOX\"\r\nver\0sion \"1\"\r\n"s, true, RefusalReason::ZeroByte, 2},
        CheckCase{"OldGamedllNamesTheLibraryButHidesTheNewLine", "game \"QOX\" GAMEDLL \"dlls\\qox_bot.dll\"\r\n\0\r\n"s, true, RefusalReason::GamedllSharesLine, 1},
        CheckCase{"EmptyKey", "game \"QOX\"\r\n\"\" \"x\"\r\n", true, RefusalReason::EmptyKey, 2},
        CheckCase{"WordTheGameReadsWhole", "game \"" + std::string(1023, 'x') + "\"\r\n"},
        CheckCase{"WordTheGameSplits", "game \"" + std::string(1024, 'x') + "\"\r\n", true, RefusalReason::LongWord, 1},
        CheckCase{"LargerThanTheGameReads", kTooLarge, true, RefusalReason::TooLargeAlready, 0},
        CheckCase{"GrowsPastWhatTheGameReads", growingPastTheLimit(), true, RefusalReason::TooLarge, 0},
        CheckCase{"AsLargeAsTheGameReads", atTheLimit()},
        // Which line a refusal names: where the two readings part for good.
        CheckCase{"GamedllLineRepeatsASetting", "type \"x\"\r\ngamedll \"dlls\\hl.dll\" type \"x\"\r\n", true, RefusalReason::GamedllSharesLine, 2, true},
        CheckCase{"ValueAcrossALineEnd", "game \"QOX\nMod\"\r\n", true, RefusalReason::UnclosedQuote, 1},
        CheckCase{"QuoteClosedOnTheNextLine", "game \"QOX\r\nMod\" type\r\n", true, RefusalReason::UnclosedQuote, 1},
        CheckCase{"QuoteRunsToAZeroByte", "game \"QOX\r\n\0\r\n"s, true, RefusalReason::ZeroByte, 2},
        CheckCase{"ZeroBytesOnAReplacedLineAndAfter", "gamedll \0\r\nver\0sion \"1\"\r\n"s, true, RefusalReason::ZeroByte, 2},
        CheckCase{"ZeroByteOnAReplacedLine", "gamedll \"dlls\\hl.dll\" type \"x\"\0\r\n"s, true, RefusalReason::GamedllSharesLine, 1, true},
        CheckCase{"WordThatGrowsLongAfterAReplacedLine", "gamedll \"dlls\\hl.dll\"\r\nx y\r\n\"" + std::string(1020, 'x'), true, RefusalReason::LongWord, 3},
        CheckCase{"TwoOddLinesThatPairUpAgain", "url_info a b\r\nc\r\ngamedll \"dlls\\hl.dll\"\r\n"},
        CheckCase{"ApostropheAndCommaInQuotes", "game \"QOX's, mod\"\r\n"},
        CheckCase{"HashAtTheStartOfALine", "#version \"1\"\r\n"},
        CheckCase{"CommentAfterAValue", "game \"QOX\" // the name\r\ngamedll \"dlls\\hl.dll\"\r\n"},
        CheckCase{"CarriageReturnsOnlyAndACommentFirst", "// QOX\rgame \"QOX\"\rgamedll \"dlls\\hl.dll\"\r"},
        CheckCase{"ZeroPaddingAtTheEnd", "game \"QOX\"\r\n\0\0"s},
        CheckCase{"NothingButZeroPadding", "\0\0\0\0\0\0\0\0"s}),
    testing_support::caseName);
// clang-format on

}  // namespace
}  // namespace velmora
