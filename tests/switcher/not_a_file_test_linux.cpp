// A FIFO named like a backup: opening it for reading would wait for a writer for ever.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <future>

#include "file_ops.h"
#include "temp_dir.h"
#include "unique_fd_linux.h"

namespace swapcfg {
namespace {

TEST(IsRestorableBackup, RefusesAFifoAtOnce) {
    testing_support::TempDir dir("fifo");
    const auto fifo = dir / "liblist.bak";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto opens = std::async(std::launch::async,
                            [&] { return platformFileOps().isMovableFile(fifo.native()); });
    if (opens.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
        // Let the blocked open go on, so that the test can end.
        const velmora::UniqueFd writer(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
        FAIL() << "the test-open waited for a writer";
    }
    EXPECT_FALSE(opens.get());
}

}  // namespace
}  // namespace swapcfg
