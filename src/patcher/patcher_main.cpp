// The patcher: copies the game's executable and writes the records of the
// patch data file into the copy. Works in the current directory and takes
// no arguments; the outcome is one line on standard output and the exit code.
#include <cstdio>

#include <windows.h>

#include "patcher/apply_patch_records.h"

namespace {

const char kPatchDataName[] = "DOVRINEX.PTC";
const char kExecutableName[] = "RZ4.EXE";
const char kCopyName[] = "DOVRINEX.EXE";

} // namespace

int main() {
    FILE* patchData = std::fopen(kPatchDataName, "rb");
    if (patchData == nullptr) {
        std::puts("ERROR: Can't open patch data file.");
        return 1;
    }
    // Replaces the copy of an earlier run, so every run starts from the original.
    if (!CopyFileA(kExecutableName, kCopyName, FALSE)) {
        std::puts("ERROR: Unable to create a copy of executable.");
        std::fclose(patchData);
        return 1;
    }
    FILE* copy = std::fopen(kCopyName, "rb+");
    if (copy == nullptr) {
        std::puts("ERROR: Can't open a copy of executable.");
        std::fclose(patchData);
        return 1;
    }
    // Records are small and scattered: a buffer would be flushed at every
    // seek anyway, so each record goes to the file in one write.
    std::setvbuf(copy, nullptr, _IONBF, 0);
    int result = ApplyPatchRecords(copy, patchData);
    if (result == 0)
        std::printf("Executable %s patched successfully.\n", kCopyName);
    else
        std::printf("Error patching executable %s .\n", kCopyName);
    std::fclose(copy);
    std::fclose(patchData);
    return result == 0 ? 0 : 1;
}
