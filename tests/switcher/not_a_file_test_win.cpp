// A named pipe in place of a backup: it opens, but it is no file on a disk.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "file_ops.h"
#include "unique_handle_win.h"

namespace swapcfg {
namespace {

TEST(IsRestorableBackup, RefusesANamedPipe) {
    const std::wstring pipe =
        L"\\\\.\\pipe\\swapcfg-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-liblist.bak";
    const velmora::UniqueHandle server(::CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_OUTBOUND,
                                                          PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr));
    ASSERT_TRUE(server);
    EXPECT_FALSE(platformFileOps().isMovableFile(pipe));
}

}  // namespace
}  // namespace swapcfg
