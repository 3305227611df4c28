// CopyFileA as the patcher relies on it: a replaced target, the read-only
// attribute carried over, and the error codes of the refusals.
#include <gtest/gtest.h>

#include <filesystem>

#include <windows.h>

#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

void MakeReadOnly(const std::string& path) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

bool IsReadOnly(const std::string& path) {
    return (fs::status(path).permissions() & fs::perms::owner_write) == fs::perms::none;
}

} // namespace

TEST(CopyFile, CopiesReplacesAndRefusesAsWin32Does) {
    struct Case {
        const char* name;
        bool sourceExists;
        bool sourceReadOnly;
        const char* existingTarget; // null: none
        bool targetReadOnly;
        BOOL failIfExists;
        BOOL result;
        DWORD error;             // when it fails
        const char* targetAfter; // null: no target
    };
    const Case cases[] = {
        {"new copy", true, false, nullptr, false, FALSE, TRUE, 0, "source bytes"},
        {"replaces a longer target", true, false, "an older and longer target", false, FALSE, TRUE,
         0, "source bytes"},
        {"keeps a target when asked to", true, false, "old", false, TRUE, FALSE, ERROR_FILE_EXISTS,
         "old"},
        {"read-only source", true, true, nullptr, false, FALSE, TRUE, 0, "source bytes"},
        {"read-only target", true, false, "old", true, FALSE, FALSE, ERROR_ACCESS_DENIED, "old"},
        {"missing source", false, false, nullptr, false, FALSE, FALSE, ERROR_FILE_NOT_FOUND,
         nullptr},
        {"missing source, target stays", false, false, "old", false, FALSE, FALSE,
         ERROR_FILE_NOT_FOUND, "old"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        std::string source = dir.File("SOURCE.EXE"), target = dir.File("TARGET.EXE");
        if (c.sourceExists)
            dir.Write("SOURCE.EXE", "source bytes");
        if (c.sourceReadOnly)
            MakeReadOnly(source);
        if (c.existingTarget)
            dir.Write("TARGET.EXE", c.existingTarget);
        if (c.targetReadOnly)
            MakeReadOnly(target);
        SetLastError(0);
        EXPECT_EQ(CopyFileA(source.c_str(), target.c_str(), c.failIfExists), c.result) << c.name;
        if (!c.result) {
            EXPECT_EQ(GetLastError(), c.error) << c.name;
        }
        EXPECT_EQ(dir.Exists("TARGET.EXE"), c.targetAfter != nullptr) << c.name;
        if (c.targetAfter) {
            EXPECT_EQ(dir.Read("TARGET.EXE"), c.targetAfter) << c.name;
        }
        if (c.result) {
            EXPECT_EQ(IsReadOnly(target), c.sourceReadOnly) << c.name;
        }
    }
}

TEST(CopyFile, AFileCopiedOntoItselfStaysWhole) {
    TempDir dir;
    dir.Write("SAME.EXE", "must survive");
    std::string path = dir.File("SAME.EXE");
    EXPECT_FALSE(CopyFileA(path.c_str(), path.c_str(), FALSE));
    EXPECT_EQ(dir.Read("SAME.EXE"), "must survive");
}
