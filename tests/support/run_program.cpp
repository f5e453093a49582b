#include "run_program.h"
#include "test_thread.h"

namespace testing_support {

std::vector<ProgramResult> runTogether(const std::filesystem::path& program,
                                       const std::vector<std::vector<NativeArgument>>& runs) {
    std::vector<ProgramResult> results(runs.size());
    std::vector<TestThread> running;
    running.reserve(runs.size());
    for (std::size_t i = 0; i < runs.size(); ++i) {
        running.emplace_back([&, i] { results[i] = runProgram(program, runs[i]); });
    }
    for (TestThread& run : running) {
        run.join();
    }
    return results;
}

}  // namespace testing_support
