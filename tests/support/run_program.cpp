#include <future>

#include "run_program.h"

namespace testing_support {

std::vector<ProgramResult> runTogether(const std::filesystem::path& program,
                                       const std::vector<std::vector<NativeArgument>>& runs) {
    std::vector<std::future<ProgramResult>> running;
    for (const auto& arguments : runs) {
        running.push_back(std::async(
            std::launch::async, [&program, &arguments] { return runProgram(program, arguments); }));
    }
    std::vector<ProgramResult> results;
    for (auto& run : running) {
        results.push_back(run.get());
    }
    return results;
}

}  // namespace testing_support
