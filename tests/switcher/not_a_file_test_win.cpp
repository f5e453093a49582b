// A named pipe in place of a backup: it opens, but it is no file on a disk.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "file_ops.h"

namespace swapcfg {
namespace {

TEST(CanOpenForReading, RefusesANamedPipe) {
    const std::wstring pipe =
        L"\\\\.\\pipe\\swapcfg-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-liblist.bak";
    const HANDLE server =
        ::CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(platformFileOps().canOpenForReading(pipe));
    ::CloseHandle(server);
}

}  // namespace
}  // namespace swapcfg
