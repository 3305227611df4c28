// Byte-range locks as the log uses them across copies of the program: a
// range one handle holds is refused to every other handle at once, also
// past the file's end; only a range as it was locked can be unlocked; and
// closing the handle gives its ranges up.
#include <gtest/gtest.h>

#include <windows.h>

#include "temp_dir.h"

namespace {

HANDLE OpenShared(const char* name) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(FileLocks, ARangeIsHeldAgainstOtherHandlesUntilUnlockedOrClosed) {
    TempDir dir;
    CurrentDirectory cwd(dir.path());
    HANDLE first = OpenShared("locked.log"), second = OpenShared("locked.log");
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    ASSERT_NE(second, INVALID_HANDLE_VALUE);
    const DWORD kFar = 0x7FFFFFFF; // past the end of the empty file
    struct Step {
        HANDLE file;
        bool lock;
        DWORD offset, bytes;
        BOOL result;
        DWORD error; // when it fails; 0: any (Wine and Windows differ on a bad unlock)
    };
    const Step kSteps[] = {
        {first, true, kFar - 4, 8, TRUE, 0},
        {second, true, kFar, 1, FALSE, ERROR_LOCK_VIOLATION},
        {second, true, kFar - 8, 4, TRUE, 0}, // next to it, not on it
        {second, false, kFar - 4, 8, FALSE, 0},
        {first, false, kFar - 4, 4, FALSE, 0}, // only the whole range
        {first, false, kFar - 4, 8, TRUE, 0},
        {second, true, kFar, 1, TRUE, 0},
        {first, true, kFar, 2, FALSE, ERROR_LOCK_VIOLATION},
    };
    for (std::size_t i = 0; i < sizeof kSteps / sizeof kSteps[0]; ++i) {
        const Step& s = kSteps[i];
        SCOPED_TRACE("step " + std::to_string(i));
        SetLastError(0);
        BOOL result = s.lock ? LockFile(s.file, s.offset, 0, s.bytes, 0)
                             : UnlockFile(s.file, s.offset, 0, s.bytes, 0);
        EXPECT_EQ(result, s.result);
        if (!s.result && s.error) {
            EXPECT_EQ(GetLastError(), s.error);
        }
    }
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_TRUE(LockFile(first, kFar, 0, 2, 0)) << "closing gave the ranges up";
    EXPECT_TRUE(UnlockFile(first, kFar, 0, 2, 0));
    EXPECT_TRUE(CloseHandle(first));
}

} // namespace
