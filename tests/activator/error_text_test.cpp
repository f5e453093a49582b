#include "error_text.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

const NativeString kPath = nativeFromAscii("liblist.gam");

NativeString textFor(FileOp op, int code) {
    return describeFileError(FileError{op, kPath, code});
}

bool contains(const NativeString& text, std::string_view part) {
    return text.find(nativeFromAscii(part)) != NativeString::npos;
}

TEST(ErrorText, NamesTheActionTheFileAndTheSystemsReason) {
    const int diskFull = 28;  // ENOSPC; on Windows some other error, but not a refused access
    const NativeString text = textFor(FileOp::Write, diskFull);
    EXPECT_TRUE(text.starts_with(nativeFromAscii("Could not save liblist.gam\r\n\r\n")))
        << text.size();
    EXPECT_TRUE(text.ends_with(systemReason(diskFull)));
    EXPECT_TRUE(
        textFor(FileOp::Read, diskFull).starts_with(nativeFromAscii("Could not read liblist.gam")));
}

TEST(ErrorText, ExplainsWhatUsuallyCausesARefusedAccess) {
    for (int code = 0; code < 200; ++code) {
        EXPECT_EQ(contains(textFor(FileOp::CheckWritable, code), "read-only"), isAccessDenied(code))
            << code;
    }
    // EPERM or EACCES on Linux, ERROR_ACCESS_DENIED on Windows.
    EXPECT_TRUE(isAccessDenied(1) || isAccessDenied(5) || isAccessDenied(13));
}

}  // namespace
}  // namespace velmora
