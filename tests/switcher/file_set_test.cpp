#include "file_set.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace swapcfg {
namespace {

struct ModeCase {
    const char* text;
    Mode expected;
};

void PrintTo(const ModeCase& c, std::ostream* out) {
    *out << ::testing::PrintToString(std::string(c.text));
}

class ModeParsing : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeParsing, ReadsLikeAtoiWithoutOverflow) {
    EXPECT_EQ(parseMode(std::string_view(GetParam().text)), GetParam().expected) << GetParam().text;
    const std::string_view narrow(GetParam().text);
    const std::wstring wide(narrow.begin(), narrow.end());
    EXPECT_EQ(parseMode(std::wstring_view(wide)), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModeParsing,
    ::testing::Values(
        ModeCase{"1", Mode::InstallBotVariants}, ModeCase{" 1", Mode::InstallBotVariants},
        ModeCase{"\t\n1", Mode::InstallBotVariants}, ModeCase{"1x", Mode::InstallBotVariants},
        ModeCase{"+1", Mode::InstallBotVariants}, ModeCase{"001", Mode::InstallBotVariants},
        ModeCase{"2", Mode::RestoreBackups}, ModeCase{"2.5", Mode::RestoreBackups},
        ModeCase{"0", Mode::None}, ModeCase{"3", Mode::None}, ModeCase{"-1", Mode::None},
        ModeCase{"-2", Mode::None}, ModeCase{"+-1", Mode::None}, ModeCase{"x1", Mode::None},
        ModeCase{"word", Mode::None}, ModeCase{"", Mode::None},
        ModeCase{"1 1", Mode::InstallBotVariants},
        // Numbers past int that would wrap to 1 or 2 if truncated.
        ModeCase{"4294967297", Mode::None}, ModeCase{"18446744073709551617", Mode::None},
        ModeCase{"99999999999999999999999999999999", Mode::None}));

TEST(JoinedName, UsesThePrefixVerbatimWithoutSeparatorOrExpansion) {
    const NativeString prefix = std::filesystem::path("D:%s%n").native();
    EXPECT_EQ(joinedName(prefix, "game.cfg"), std::filesystem::path("D:%s%ngame.cfg").native());
}

}  // namespace
}  // namespace swapcfg
