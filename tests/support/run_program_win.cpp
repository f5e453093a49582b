#include <windows.h>

#include <array>
#include <stdexcept>
#include <string>

#include "run_program.h"
#include "unique_handle_win.h"

namespace testing_support {
namespace {

// Quotes one argument so that the C runtime's command-line parsing gives it back unchanged.
std::wstring quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote itself escaped.
        text.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    text.append(backslashes * 2, L'\\');  // before the closing quote
    text += L'"';
    return text;
}

// Wine now and then refuses a start while several processes start at once (seen once in a
// few hundred runs); a start is tried a few more times before the test fails.
constexpr int kStartAttempts = 5;
constexpr DWORD kStartRetryPauseMs = 100;

bool startProcess(const std::filesystem::path& program, std::wstring& commandLine,
                  STARTUPINFOW& startup, PROCESS_INFORMATION& process) {
    for (int attempt = 1;; ++attempt) {
        if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                             CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process)) {
            return true;
        }
        if (attempt == kStartAttempts) {
            return false;
        }
        ::Sleep(kStartRetryPauseMs);
    }
}

}  // namespace

std::filesystem::path siblingExecutable(const std::string& name) {
    std::wstring self(32768, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return std::filesystem::path(self).parent_path() / (name + ".exe");
}

ProgramResult runProgram(const std::filesystem::path& program,
                         const std::vector<NativeArgument>& arguments) {
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    HANDLE pipeRead = nullptr;
    HANDLE pipeWrite = nullptr;
    if (!::CreatePipe(&pipeRead, &pipeWrite, &inheritable, 0)) {
        throw std::runtime_error("CreatePipe failed");
    }
    const velmora::UniqueHandle readEnd(pipeRead);
    velmora::UniqueHandle writeEnd(pipeWrite);
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    std::wstring commandLine = quoted(program.native());
    for (const auto& argument : arguments) {
        commandLine += L' ' + quoted(argument);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    PROCESS_INFORMATION process{};
    const bool started = startProcess(program, commandLine, startup, process);
    const DWORD startError = ::GetLastError();
    writeEnd.reset();  // the child's copy is the only writer left: its end is our end of file
    if (!started) {
        throw std::runtime_error("cannot start " + program.string() + " (error " +
                                 std::to_string(startError) + ")");
    }
    const velmora::UniqueHandle thread(process.hThread);
    const velmora::UniqueHandle child(process.hProcess);

    ProgramResult result;
    std::array<char, 4096> buffer{};
    DWORD got = 0;
    while (::ReadFile(readEnd.get(), buffer.data(), buffer.size(), &got, nullptr) && got > 0) {
        result.output.append(buffer.data(), got);
    }
    ::WaitForSingleObject(child.get(), INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(child.get(), &exitCode);
    result.exitCode = static_cast<int>(exitCode);
    return result;
}

}  // namespace testing_support
