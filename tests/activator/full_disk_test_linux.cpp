// A rewrite on a disk that fills up part way: the descriptor stays as it was.
#include <sys/mount.h>

#include <gtest/gtest.h>

#include "file_system.h"
#include "safe_rewrite.h"
#include "temp_dir.h"

namespace velmora {
namespace {

using testing_support::snapshot;

// A 64 KiB file system of its own, so that filling it harms nothing else.
class SmallDisk {
  public:
    SmallDisk() : mounted_(::mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, "size=64k") == 0) {}
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(dir_.path().c_str(), MNT_DETACH);
        }
    }
    bool mounted() const { return mounted_; }
    std::filesystem::path operator/(std::string_view name) const { return dir_ / name; }
    const std::filesystem::path& path() const { return dir_.path(); }

  private:
    testing_support::TempDir dir_{"disk"};
    bool mounted_;
};

TEST(FullDisk, LeavesTheDescriptorAsItWasAndNoTemporaryFile) {
    SmallDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    const std::string old(20 * 1024, 'o');
    testing_support::writeFile(disk / "liblist.gam", old);
    testing_support::writeFile(disk / "filler", std::string(36 * 1024, 'f'));

    const FileResult error =
        rewriteFileUnlessChanged(platformFileSystem(), (disk / "liblist.gam").native(), old,
                                 std::string(20 * 1024, 'n'))
            .error;

    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->op == FileOp::Write || error->op == FileOp::Flush)
        << static_cast<int>(error->op);
    EXPECT_EQ(error->path, (disk / "liblist.gam").native()) << "not the temporary file";
    EXPECT_EQ(snapshot(disk.path()).at("liblist.gam"), old);
    EXPECT_EQ(snapshot(disk.path()).size(), 2u);
}

}  // namespace
}  // namespace velmora
