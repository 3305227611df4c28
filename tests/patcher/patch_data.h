// Builds the bytes of a patch data file in tests.
#pragma once

#include <cstdint>
#include <string>

// One record: the 8-byte header (target offset, length; little-endian) and
// its data. `announced` replaces the length in the header, for records that
// claim more data than follows.
inline std::string PatchRecord(std::uint32_t offset, const std::string& data) {
    std::string bytes;
    for (std::uint32_t value : {offset, static_cast<std::uint32_t>(data.size())})
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>((value >> shift) & 0xFF);
    return bytes + data;
}

inline std::string PatchRecord(std::uint32_t offset, std::uint32_t announced,
                               const std::string& data) {
    std::string bytes = PatchRecord(offset, std::string());
    for (int shift = 0; shift < 32; shift += 8)
        bytes[4 + shift / 8] = static_cast<char>((announced >> shift) & 0xFF);
    return bytes + data;
}
