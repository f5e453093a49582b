#include "game_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "case_name.h"

namespace velmora {
namespace {

using namespace std::string_literals;
using testing_support::PrintTo;  // names the cases where gtest prints them

struct ReadCase {
    const char* name;
    std::string descriptor;
    std::vector<std::pair<std::string, std::string>> entries;
    ReadingEnd end = ReadingEnd::EndOfBytes;
    std::vector<int> lines;  // of the entries' keys, where the case is about them
};

class GameReader : public ::testing::TestWithParam<ReadCase> {};

TEST_P(GameReader, GivesTheEntriesTheGameReads) {
    const ReadCase& c = GetParam();
    const GameReading reading = readAsTheGame(c.descriptor);
    std::vector<std::pair<std::string, std::string>> entries;
    std::vector<int> lines;
    for (const Entry& entry : reading.entries) {
        entries.emplace_back(entry.key.text, entry.value.text);
        lines.push_back(entry.key.line);
    }
    EXPECT_EQ(entries, c.entries);
    EXPECT_EQ(reading.end, c.end);
    if (!c.lines.empty()) {
        EXPECT_EQ(lines, c.lines);
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Rules, GameReader,
    ::testing::Values(
        ReadCase{"StopsAtTheFirstZeroByte", "a b\0c d"s, {{"a", "b"}}, ReadingEnd::ZeroByte},
        ReadCase{"SeparatesAtEveryByteUpTo0x20", "a\x01" "b\x1f c\td", {{"a", "b"}, {"c", "d"}}},
        ReadCase{"CommentRunsToTheNextLineFeedOnly", "a b // c d\r e f\ng h", {{"a", "b"}, {"g", "h"}}},
        ReadCase{"CommentOnlyWhereAWordStarts", "a//b c", {{"a//b", "c"}}},
        ReadCase{"QuoteRunsAcrossLineEnds", "a \"b\r\nc\" d e", {{"a", "b\r\nc"}, {"d", "e"}}},
        ReadCase{"QuoteLeftOpenRunsToTheEnd", "a \"b c", {{"a", "b c"}}},
        ReadCase{"QuoteOnlyWhereAWordStarts", "a\"b c", {{"a\"b", "c"}}},
        ReadCase{"SixBytesAreWordsOfTheirOwn", "a(b)c{d}e'f,g h",
                 {{"a", "("}, {"b", ")"}, {"c", "{"}, {"d", "}"}, {"e", "'"}, {"f", ","}, {"g", "h"}}},
        ReadCase{"ColonAndHashAreOrdinary", "#a b:c", {{"#a", "b:c"}}},
        ReadCase{"EmptyKeyEndsTheReading", "a b \"\" c d e", {{"a", "b"}}, ReadingEnd::EmptyKey},
        ReadCase{"EmptyValueDoesNot", "a \"\" c d", {{"a", ""}, {"c", "d"}}},
        ReadCase{"LastKeyWithoutValueIsNoEntry", "a b c", {{"a", "b"}}},
        ReadCase{"CountsLinesAsATextEditor", "a b\r\nc d\re f\ng \"h\r\n\" i j",
                 {{"a", "b"}, {"c", "d"}, {"e", "f"}, {"g", "h\r\n"}, {"i", "j"}}, ReadingEnd::EndOfBytes,
                 {1, 2, 3, 4, 5}}),
    testing_support::caseName);
// clang-format on

TEST(GameReader, TakesGamedllInAnyLetterCaseAndNoOtherKey) {
    EXPECT_TRUE(isGameLibraryKey("GameDLL"));
    EXPECT_FALSE(isGameLibraryKey("gamedll_linux"));
}

}  // namespace
}  // namespace velmora
