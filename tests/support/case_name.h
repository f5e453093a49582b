// Table-driven tests name each case: `const char* name` as the first field of the case's
// struct. With these, a parameterised test is named after its case, and gtest (and so ctest's
// list of tests) prints the name where it would print the case's bytes:
//
//   using testing_support::PrintTo;  // in the namespace of the case's struct
//   INSTANTIATE_TEST_SUITE_P(Cases, Suite, ::testing::Values(...), testing_support::caseName);
#pragma once

#include <gtest/gtest.h>

#include <concepts>
#include <ostream>
#include <string>

namespace testing_support {

template <typename Case>
concept NamedCase = requires(const Case& c) {
    { c.name } -> std::convertible_to<const char*>;
};

// Chosen over gtest's own printer, which takes any type, because it asks for more.
template <NamedCase Case>
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

struct CaseName {
    template <NamedCase Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return info.param.name;
    }
};
inline constexpr CaseName caseName{};

}  // namespace testing_support
