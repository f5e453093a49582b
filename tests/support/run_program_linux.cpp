#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <stdexcept>

#include "run_program.h"
#include "unique_fd_linux.h"

extern char** environ;

namespace testing_support {

std::filesystem::path siblingExecutable(const std::string& name) {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / name;
}

ProgramResult runProgram(const std::filesystem::path& program,
                         const std::vector<NativeArgument>& arguments) {
    std::array<int, 2> pipeEnds{};
    if (::pipe(pipeEnds.data()) != 0) {
        throw std::runtime_error("pipe failed");
    }
    const velmora::UniqueFd readEnd(pipeEnds[0]);
    velmora::UniqueFd writeEnd(pipeEnds[1]);
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDERR_FILENO);
    ::posix_spawn_file_actions_addclose(&actions, readEnd.get());

    std::vector<NativeArgument> argumentCopies = arguments;
    NativeArgument programName = program.native();
    std::vector<char*> argv{programName.data()};
    for (auto& argument : argumentCopies) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    pid_t child = 0;
    const int spawned =
        ::posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    writeEnd.reset();  // the child's copy is the only writer left: its end is our end of file
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + program.string());
    }

    ProgramResult result;
    std::array<char, 4096> buffer{};
    ssize_t got = 0;
    while ((got = ::read(readEnd.get(), buffer.data(), buffer.size())) > 0) {
        result.output.append(buffer.data(), static_cast<std::size_t>(got));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace testing_support
