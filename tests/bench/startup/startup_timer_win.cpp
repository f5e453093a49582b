// startup_timer RUNS FOLDER PROGRAM...: starts each program in FOLDER, in turn, RUNS times
// each, and measures the time from just before the process is created to the moment it
// shows a window; ends the program each time. Prints each program's median and, for two
// programs, the ratio of the first to the second.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "unique_handle_win.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(30);
// After a program has ended, the system still tidies up after its window for a while; the
// next start must not share the machine with that.
constexpr DWORD kSettleMs = 300;

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchVisibleWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<Search*>(parameter);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !::IsWindowVisible(window)) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

// Milliseconds from process creation to a visible window; negative if none came.
double timeToWindow(const std::wstring& program, const std::wstring& folder) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const auto started = Clock::now();
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &process)) {
        return -1;
    }
    const velmora::UniqueHandle thread(process.hThread);
    const velmora::UniqueHandle child(process.hProcess);
    Search search{process.dwProcessId, nullptr};
    while (search.found == nullptr && Clock::now() - started < kPatience) {
        ::EnumWindows(matchVisibleWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found == nullptr) {
            ::Sleep(1);
        }
    }
    const auto shown = Clock::now();
    // Ended at once, not closed: under Wine a program that closes its window takes two more
    // seconds to end, in Wine's own shutdown, which would only make the benchmark slow.
    ::TerminateProcess(child.get(), 0);
    ::WaitForSingleObject(child.get(), 5000);
    ::Sleep(kSettleMs);
    if (search.found == nullptr) {
        return -1;
    }
    return std::chrono::duration<double, std::milli>(shown - started).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::wstring nameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        std::fwprintf(stderr, L"usage: startup_timer RUNS FOLDER PROGRAM...\n");
        return 2;
    }
    const int runs = std::stoi(argv[1]);
    const std::wstring folder = argv[2];
    const std::vector<std::wstring> programs(argv + 3, argv + argc);
    // One start of each first, so that no program pays for loading Wine's DLLs from disk.
    for (const auto& program : programs) {
        timeToWindow(folder + L"\\" + program, folder);
    }
    std::vector<std::vector<double>> times(programs.size());
    for (int run = 0; run < runs; ++run) {
        for (std::size_t i = 0; i < programs.size(); ++i) {
            const double milliseconds = timeToWindow(folder + L"\\" + programs[i], folder);
            if (milliseconds < 0) {
                std::fwprintf(stderr, L"%ls showed no window\n", programs[i].c_str());
                return 1;
            }
            times[i].push_back(milliseconds);
        }
    }
    std::vector<double> medians;
    for (std::size_t i = 0; i < programs.size(); ++i) {
        medians.push_back(median(times[i]));
        std::wprintf(L"%-22ls median %7.1f ms over %d starts\n", nameOf(programs[i]).c_str(),
                     medians.back(), runs);
    }
    if (medians.size() == 2) {
        std::wprintf(L"start-up ratio %.2f\n", medians[0] / medians[1]);
    }
    return 0;
}
