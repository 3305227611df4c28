#include "patcher/apply_patch_records.h"

#include <sys/types.h>

#include "patcher/patch_record.h"
#include "patcher/record_buffer.h"

// Target offsets go up to 4 GiB - 1, beyond what fseek's long reaches on
// Windows; the build selects 64-bit file positions for fseeko.
static_assert(sizeof(off_t) >= 8, "64-bit file positions are needed for offsets of 2 GiB and more");

namespace {

bool WriteRecord(FILE* target, const PATCH_RECORD_HEADER& header, const BYTE* data) {
    if (fseeko(target, static_cast<off_t>(header.TargetOffset), SEEK_SET) != 0)
        return false;
    return std::fwrite(data, 1, header.Length, target) == header.Length;
}

} // namespace

int ApplyPatchRecords(FILE* target, FILE* patchData) {
    CRecordBuffer buffer;
    if (!buffer.IsValid())
        return 1;
    PATCH_RECORD_HEADER header;
    while (std::fread(&header, sizeof header, 1, patchData) == 1) {
        if (!buffer.Fill(patchData, header.Length) || !WriteRecord(target, header, buffer.Data()))
            return 1;
    }
    // A read error is not the end of the list, and bytes still in the
    // stream's buffer have not been written yet: either would otherwise be
    // reported as success.
    if (std::ferror(patchData) || std::fflush(target) != 0)
        return 1;
    return 0;
}
