// Runs one of our programs as its own process and collects what it printed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

using NativeArgument = std::filesystem::path::string_type;

struct ProgramResult {
    int exitCode = -1;
    std::string output;  // standard output and standard error together
};

// An executable built beside the running test executable ("swapcfg" gets ".exe" on Windows).
std::filesystem::path siblingExecutable(const std::string& name);

ProgramResult runProgram(const std::filesystem::path& program,
                         const std::vector<NativeArgument>& arguments);

// Starts one process of `program` for each argument list, all at once, then waits for all.
std::vector<ProgramResult> runTogether(const std::filesystem::path& program,
                                       const std::vector<std::vector<NativeArgument>>& runs);

}  // namespace testing_support
