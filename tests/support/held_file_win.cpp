#include "held_file_win.h"

#include <chrono>
#include <stdexcept>
#include <string>

#include "run_program.h"

namespace testing_support {
namespace {

constexpr auto kTakingHoldTimeout = std::chrono::seconds(20);
constexpr DWORD kPollMs = 10;
constexpr DWORD kLettingGoTimeoutMs = 30000;

}  // namespace

HeldFile::HeldFile(const std::filesystem::path& path, int milliseconds) {
    start(path, std::to_wstring(milliseconds));
}

HeldFile::HeldFile(const std::filesystem::path& path, int milliseconds,
                   const std::filesystem::path& change) {
    start(path, std::to_wstring(milliseconds) + L" \"" + change.native() + L"\"");
}

void HeldFile::start(const std::filesystem::path& path, std::wstring arguments) {
    const std::filesystem::path program = siblingExecutable("hold_file");
    std::wstring commandLine =
        L"\"" + program.native() + L"\" \"" + path.native() + L"\" " + std::move(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process)) {
        throw std::runtime_error("cannot start hold_file.exe");
    }
    const velmora::UniqueHandle thread(process.hThread);
    process_.reset(process.hProcess);
    const auto marker = std::filesystem::path(path.native() + L".held");
    const auto deadline = std::chrono::steady_clock::now() + kTakingHoldTimeout;
    while (!std::filesystem::exists(marker)) {
        // Doubles as the pause between looks; a holder that ended will never hold it.
        if (::WaitForSingleObject(process_.get(), kPollMs) != WAIT_TIMEOUT ||
            std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("hold_file.exe did not take hold of " + path.string());
        }
    }
    std::filesystem::remove(marker);
}

HeldFile::~HeldFile() {
    ::WaitForSingleObject(process_.get(), kLettingGoTimeoutMs);
}

void HeldFile::letGo() {
    ::TerminateProcess(process_.get(), 0);
}

}  // namespace testing_support
