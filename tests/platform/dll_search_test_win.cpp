// Both programs' start-up call against a DLL planted beside them: each runs in a process of
// its own (dll_probe), since the call holds for the rest of a process.
#include <gtest/gtest.h>

#include "case_name.h"
#include "run_program.h"

namespace {

using testing_support::PrintTo;  // names the cases where gtest prints them

struct SearchCase {
    const char* name;
    const wchar_t* startUp;  // whose start-up call runs first
    const wchar_t* dll;
    bool loads;
};

class DllSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(DllSearch, TakesDllsByNameFromSystem32Only) {
    const auto result = testing_support::runProgram(testing_support::siblingExecutable("dll_probe"),
                                                    {GetParam().startUp, GetParam().dll});
    EXPECT_EQ(result.exitCode, GetParam().loads ? 0 : 1);
}

// velmora_planted.dll stands beside the programs; uxtheme.dll is one that Common Controls
// loads on demand.
INSTANTIATE_TEST_SUITE_P(
    Cases, DllSearch,
    ::testing::Values(SearchCase{"PlantedWithoutTheCall", L"none", L"velmora_planted.dll", true},
                      SearchCase{"PlantedAfterVelmora", L"velmora", L"velmora_planted.dll", false},
                      SearchCase{"PlantedAfterSwapcfg", L"swapcfg", L"velmora_planted.dll", false},
                      SearchCase{"SystemAfterVelmora", L"velmora", L"uxtheme.dll", true},
                      SearchCase{"SystemAfterSwapcfg", L"swapcfg", L"uxtheme.dll", true}),
    testing_support::caseName);

}  // namespace
