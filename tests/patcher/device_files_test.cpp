// Pipes, devices and folders where the patcher expects files: Windows has
// none of the first two, so the hosted file calls refuse them as it refuses
// a folder, and nothing blocks on them or reads from them without end.
// Linux only: Windows cannot make these files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <windows.h>

#include "patch_data.h"
#include "patcher_run.h"
#include "temp_dir.h"

namespace {

void MakeFifo(const TempDir& dir, const std::string& name) {
    ASSERT_EQ(::mkfifo(dir.File(name).c_str(), 0644), 0) << name;
}

// A FIFO that blocked would stop the patcher for ever; `timeout` turns that
// into a failed run instead of a hung test.
const char kNoHang[] = "timeout 60 ";

} // namespace

TEST(NonRegularFiles, ThePatcherRefusesPipesWhereItsFilesShouldBe) {
    struct Case {
        const char* fifo;
        const char* line;
    };
    const Case cases[] = {
        {"DOVRINEX.PTC", "ERROR: Can't open patch data file.\n"},
        {"RZ4.EXE", "ERROR: Unable to create a copy of executable.\n"},
        {"DOVRINEX.EXE", "ERROR: Unable to create a copy of executable.\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        for (const char* name : {"DOVRINEX.PTC", "RZ4.EXE"})
            if (std::string(name) != c.fifo)
                dir.Write(name, std::string(16, 'x'));
        MakeFifo(dir, c.fifo);
        PatcherRun run = RunPatcher(dir, kNoHang);
        EXPECT_EQ(run.exitCode, 1) << c.fifo;
        EXPECT_EQ(run.output, c.line) << c.fifo;
    }
}

TEST(NonRegularFiles, FileCallsRefuseWhatIsNotARegularFile) {
    TempDir dir;
    dir.Write("source", "data");
    MakeFifo(dir, "pipe");
    ASSERT_EQ(::mkdir(dir.File("folder").c_str(), 0755), 0);
    for (const char* name : {"pipe", "folder", "/dev/zero"}) {
        std::string path = name[0] == '/' ? name : dir.File(name);
        SetLastError(0);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_EQ(file, INVALID_HANDLE_VALUE) << name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << name;
        SetLastError(0);
        EXPECT_FALSE(CopyFileA(path.c_str(), dir.File("copy").c_str(), FALSE)) << name;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << name;
        EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr) << name;
    }
    SetLastError(0);
    EXPECT_FALSE(CopyFileA(dir.File("source").c_str(), dir.File("pipe").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(dir.Exists("copy"));

    // A link to a device: the device's mode is not the copy's to change.
    if (::mknod(dir.File("device").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "making a device node needs root";
    ASSERT_EQ(::symlink(dir.File("device").c_str(), dir.File("link").c_str()), 0);
    struct stat before;
    ASSERT_EQ(::stat(dir.File("device").c_str(), &before), 0);
    ASSERT_EQ(::chmod(dir.File("source").c_str(), 0400), 0);
    EXPECT_FALSE(CopyFileA(dir.File("source").c_str(), dir.File("link").c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    struct stat info;
    ASSERT_EQ(::stat(dir.File("device").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode, before.st_mode);
}
