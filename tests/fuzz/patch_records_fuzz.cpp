// The patch record reader against a plain model of the format: records of
// an 8-byte header (offset, length, little-endian) and their data; a short
// tail of under 8 bytes ends the list, data cut short is a failure.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <unistd.h>

#include "patcher/apply_patch_records.h"

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The model: which byte ends up where, and the outcome.
    std::map<std::uint64_t, std::uint8_t> written;
    int expected = 0;
    for (std::size_t at = 0; size - at >= 8;) {
        std::uint32_t offset = Le32(data + at), length = Le32(data + at + 4);
        at += 8;
        if (length > size - at) {
            expected = 1;
            break;
        }
        for (std::uint32_t i = 0; i < length; ++i)
            written[std::uint64_t{offset} + i] = data[at + i];
        at += length;
    }

    static std::FILE* patch = std::tmpfile();
    static std::FILE* target = std::tmpfile();
    if (!patch || !target)
        std::abort();
    // Sparse files: offsets near 4 GiB cost no disk.
    if (ftruncate(fileno(patch), 0) != 0 || ftruncate(fileno(target), 0) != 0)
        std::abort();
    std::rewind(patch);
    std::rewind(target);
    if (size && std::fwrite(data, 1, size, patch) != size)
        std::abort();
    std::fflush(patch);
    std::rewind(patch);
    std::clearerr(patch);
    std::setvbuf(target, nullptr, _IONBF, 0);
    int result = ApplyPatchRecords(target, patch);
    if (result != expected)
        std::abort();
    for (const auto& [offset, byte] : written) {
        std::uint8_t got = 0;
        if (pread(fileno(target), &got, 1, static_cast<off_t>(offset)) != 1 || got != byte)
            std::abort();
    }
    return 0;
}
