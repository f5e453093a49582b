#include "error_text.h"

#include <gtest/gtest.h>

#include <span>

#include "case_name.h"

namespace velmora {
namespace {

const NativeString kPath = nativeFromAscii("liblist.gam");

NativeString textFor(FileOp op, int code) {
    return describeFileError(FileError{op, kPath, code});
}

bool contains(const NativeString& text, std::string_view part) {
    return text.find(nativeFromAscii(part)) != NativeString::npos;
}

TEST(ErrorText, NamesTheActionTheFileAndTheSystemsReason) {
    const int diskFull = 28;  // ENOSPC; on Windows some other error, but not a refused access
    const NativeString text = textFor(FileOp::Write, diskFull);
    EXPECT_TRUE(text.starts_with(nativeFromAscii("Could not save liblist.gam\r\n\r\n")))
        << text.size();
    EXPECT_TRUE(text.ends_with(systemReason(diskFull)));
    EXPECT_TRUE(
        textFor(FileOp::Read, diskFull).starts_with(nativeFromAscii("Could not read liblist.gam")));
}

struct CodeCase {
    const char* meaning;
    int code;
    bool refusedAccess;  // the box adds what usually causes it
};

// As each system's documentation numbers them.
constexpr CodeCase kWindowsCodes[] = {
    {"ERROR_ACCESS_DENIED", 5, true},   {"ERROR_SHARING_VIOLATION", 32, true},
    {"ERROR_LOCK_VIOLATION", 33, true}, {"ERROR_WRITE_PROTECT", 19, true},
    {"ERROR_FILE_NOT_FOUND", 2, false}, {"ERROR_DISK_FULL", 112, false},
};
constexpr CodeCase kLinuxCodes[] = {
    {"EPERM", 1, true},   {"EACCES", 13, true},  {"EROFS", 30, true},
    {"ENOENT", 2, false}, {"ENOSPC", 28, false},
};

TEST(ErrorText, ExplainsWhatUsuallyCausesARefusedAccess) {
    // Windows separates folders with a backslash.
    using Codes = std::span<const CodeCase>;
    const Codes codes = kPathSeparator == '\\' ? Codes(kWindowsCodes) : Codes(kLinuxCodes);
    for (const CodeCase& c : codes) {
        EXPECT_EQ(contains(textFor(FileOp::CheckRewritable, c.code), "read-only"), c.refusedAccess)
            << c.meaning;
    }
}

using testing_support::PrintTo;  // names the cases where gtest prints them

struct RefusalTextCase {
    const char* name;
    Refusal refusal;
    std::string says;  // beside "not changed", the line's number and the line itself
};

class RefusalText : public ::testing::TestWithParam<RefusalTextCase> {};

TEST_P(RefusalText, SaysNothingChangedNamesAndShowsTheLineAndWhatToChange) {
    const Refusal& refusal = GetParam().refusal;
    const NativeString text = describeRefusal(refusal);
    EXPECT_TRUE(text.starts_with(nativeFromAscii("liblist.gam was not changed.\r\n\r\n")));
    EXPECT_TRUE(text.ends_with(nativeFromAscii(", and try again.")));
    EXPECT_TRUE(contains(text, GetParam().says)) << std::string(text.begin(), text.end());
    if (refusal.line != 0) {
        EXPECT_TRUE(contains(text, "Line " + std::to_string(refusal.line) + " "));
    }
}

Refusal onLine(RefusalReason reason, std::string line, std::vector<std::string> words,
               bool replaced = false) {
    return Refusal{reason, 7, std::move(line), std::move(words), replaced};
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Reasons, RefusalText,
    ::testing::Values(
        RefusalTextCase{"UnclosedQuote", onLine(RefusalReason::UnclosedQuote, "type \"multipla", {"type", "multipla"}), "quote that it does not close:\r\n    type \"multipla\r\n"},
        RefusalTextCase{"KeyWithoutValue", onLine(RefusalReason::KeyWithoutValue, "url_dl", {"url_dl"}), "such as url_dl \"\", or remove line 7"},
        RefusalTextCase{"UnpairedWords", onLine(RefusalReason::UnpairedWords, "game QOX (beta)", {"game", "QOX", "(", "beta", ")"}), "reads 5 words, game, QOX, (, beta and ). It would pair the last one, ), with"},
        RefusalTextCase{"UnpairedWordsExample", onLine(RefusalReason::UnpairedWords, " game QOX Mod ", {"game", "QOX", "Mod"}), "such as game \"QOX Mod\""},
        RefusalTextCase{"SharesAReplacedLine", onLine(RefusalReason::GamedllSharesLine, "gamedll \"a\" type \"b\"", {}, true), "would no longer read the rest of this line"},
        RefusalTextCase{"SharesAKeptLine", onLine(RefusalReason::GamedllSharesLine, "game \"Q\" gamedll \"a\"", {}), "load that game library too"},
        RefusalTextCase{"ValueOnNextLine", onLine(RefusalReason::GamedllValueOnNextLine, "gamedll", {"gamedll"}), "its value is on the next line"},
        RefusalTextCase{"ZeroByte", onLine(RefusalReason::ZeroByte, std::string("ver\0sion \"1\"", 12), {}), "    ver<NUL>sion \"1\"\r\n"},
        RefusalTextCase{"EmptyKey", onLine(RefusalReason::EmptyKey, "\"\" x", {"", "x"}), "empty word"},
        // Whole boxes: their paragraphs, their shared sentences and their figures.
        RefusalTextCase{"WholeKeyWithoutValue", onLine(RefusalReason::KeyWithoutValue, "url_dl", {"url_dl"}),
                        "liblist.gam was not changed.\r\n\r\nLine 7 holds a setting without a value:\r\n    url_dl\r\n\r\n"
                        "The game reads liblist.gam as pairs of words, each a setting and its value. It would take the next word as the value of url_dl, "
                        "and read every setting after it one word off, so it would not find its game library.\r\n\r\n"
                        "Give url_dl a value on the same line, such as url_dl \"\", or remove line 7, and try again."},
        RefusalTextCase{"WholeLongWord", onLine(RefusalReason::LongWord, "game \"xx\"", {"game", "xx"}),
                        "liblist.gam was not changed.\r\n\r\nLine 7 holds a word longer than 1,023 bytes:\r\n    game \"xx\"\r\n\r\n"
                        "The game splits such a word in two, and Velmora cannot tell how it would then read the file.\r\n\r\n"
                        "Shorten the word, or remove the line, and try again."},
        RefusalTextCase{"WholeZeroByte", onLine(RefusalReason::ZeroByte, std::string("ver\0sion \"1\"", 12), {}),
                        "liblist.gam was not changed.\r\n\r\nLine 7 holds a zero byte (shown as <NUL>):\r\n    ver<NUL>sion \"1\"\r\n\r\n"
                        "The game stops reading liblist.gam at a zero byte, so it would not read the rest of the file, nor the new gamedll line at its end.\r\n\r\n"
                        "Remove the zero byte with a text editor, and try again."},
        RefusalTextCase{"LineOfTheLongestShownLengthIsWhole", onLine(RefusalReason::LongWord, std::string(80, 'w'), {}), "    " + std::string(80, 'w') + "\r\n"},
        RefusalTextCase{"ManyWordsEndInDots", onLine(RefusalReason::UnpairedWords, "", {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l", "m"}), "a, b, c, d, e, f, g, h, i, j, k, l, ..."},
        RefusalTextCase{"LongLineIsShortened", onLine(RefusalReason::LongWord, std::string(100, 'w'), {}), "    " + std::string(80, 'w') + "...\r\n"},
        RefusalTextCase{"TooLarge", Refusal{RefusalReason::TooLarge, 0, "", {}, false, 300000}, "It would hold 300,000 bytes"},
        RefusalTextCase{"TooLargeAlready", Refusal{RefusalReason::TooLargeAlready}, "It holds more than 262,144 bytes"},
        RefusalTextCase{"SavedAsUnicode", Refusal{RefusalReason::SavedAsUnicode}, "saved as Unicode (UTF-16). The game cannot read that"},
        RefusalTextCase{"ChangedWhileSaving", Refusal{RefusalReason::ChangedWhileSaving}, "Another program changed it"}),
    testing_support::caseName);
// clang-format on

// A character of two UTF-16 units on Windows, four UTF-8 bytes on Linux, between others.
TEST(ShownText, IsCutBetweenCharacters) {
    const NativeString before = std::filesystem::path(u8"ab").native();
    const NativeString character = std::filesystem::path(u8"\U0001F600").native();
    const NativeString text = before + character + before;
    for (std::size_t into = 0; into < character.size(); ++into) {
        EXPECT_EQ(characterStartAtOrBefore(text, before.size() + into), before.size()) << into;
    }
    EXPECT_EQ(characterStartAtOrBefore(text, before.size() + character.size()),
              before.size() + character.size());
}

}  // namespace
}  // namespace velmora
