#include "pe_image.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

template <typename T>
bool Get(const std::vector<std::uint8_t>& bytes, std::size_t offset, T* value) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof(T))
        return false;
    std::memcpy(value, bytes.data() + offset, sizeof(T));
    return true;
}

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

bool RvaToOffset(const std::vector<Section>& sections, std::uint32_t rva, std::size_t* offset) {
    for (const Section& s : sections)
        if (rva >= s.virtualAddress &&
            rva < s.virtualAddress + std::max(s.virtualSize, s.rawSize)) {
            *offset = s.rawOffset + (rva - s.virtualAddress);
            return true;
        }
    return false;
}

// One level of the resource directory: (id, offset of the entry's target).
std::vector<std::pair<std::uint16_t, std::uint32_t>>
DirectoryEntries(const std::vector<std::uint8_t>& bytes, std::size_t base, std::uint32_t at) {
    std::vector<std::pair<std::uint16_t, std::uint32_t>> entries;
    std::uint16_t named = 0, ids = 0;
    if (!Get(bytes, base + at + 12, &named) || !Get(bytes, base + at + 14, &ids))
        return entries;
    for (unsigned i = 0; i < unsigned(named) + ids; ++i) {
        std::uint32_t name = 0, target = 0;
        if (!Get(bytes, base + at + 16 + 8 * i, &name) ||
            !Get(bytes, base + at + 20 + 8 * i, &target))
            break;
        if (!(name & 0x80000000u))
            entries.emplace_back(static_cast<std::uint16_t>(name), target);
    }
    return entries;
}

std::string Utf16At(const std::vector<std::uint8_t>& data, std::size_t offset, std::size_t* end) {
    std::string text;
    std::uint16_t c = 0;
    while (Get(data, offset, &c) && c != 0) {
        text.push_back(c < 0x80 ? static_cast<char>(c) : '?');
        offset += 2;
    }
    *end = offset + 2;
    return text;
}

std::size_t Align4(std::size_t offset) {
    return (offset + 3) & ~std::size_t(3);
}

} // namespace

bool ReadPeImage(const std::string& path, PeImage* image, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read " + path;
        return false;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    std::uint32_t pe = 0, signature = 0;
    std::uint16_t sectionCount = 0, optionalSize = 0, magic = 0;
    if (!Get(bytes, 0x3C, &pe) || !Get(bytes, pe, &signature) || signature != 0x00004550 ||
        !Get(bytes, pe + 6, &sectionCount) || !Get(bytes, pe + 20, &optionalSize) ||
        !Get(bytes, pe + 24, &magic)) {
        *error = path + " is no PE image";
        return false;
    }
    std::size_t optional = pe + 24;
    image->is64 = magic == 0x20B;
    Get(bytes, optional + 40, &image->osMajor);
    Get(bytes, optional + 42, &image->osMinor);
    Get(bytes, optional + 48, &image->subsystemMajor);
    Get(bytes, optional + 50, &image->subsystemMinor);
    Get(bytes, optional + 68, &image->subsystem);
    std::size_t directories = optional + (image->is64 ? 112 : 96);
    std::uint32_t resourceRva = 0;
    Get(bytes, directories + 2 * 8, &resourceRva);

    std::vector<Section> sections;
    for (unsigned i = 0; i < sectionCount; ++i) {
        std::size_t at = optional + optionalSize + 40 * i;
        Section s{};
        Get(bytes, at + 8, &s.virtualSize);
        Get(bytes, at + 12, &s.virtualAddress);
        Get(bytes, at + 16, &s.rawSize);
        Get(bytes, at + 20, &s.rawOffset);
        sections.push_back(s);
    }
    std::size_t base = 0;
    if (resourceRva == 0 || !RvaToOffset(sections, resourceRva, &base))
        return true;
    for (auto [type, typeTarget] : DirectoryEntries(bytes, base, 0))
        for (auto [name, nameTarget] : DirectoryEntries(bytes, base, typeTarget & 0x7FFFFFFF)) {
            auto languages = DirectoryEntries(bytes, base, nameTarget & 0x7FFFFFFF);
            if (languages.empty())
                continue;
            std::uint32_t dataRva = 0, dataSize = 0;
            std::size_t entry = base + (languages.front().second & 0x7FFFFFFF), data = 0;
            if (!Get(bytes, entry, &dataRva) || !Get(bytes, entry + 4, &dataSize) ||
                !RvaToOffset(sections, dataRva, &data) || data + dataSize > bytes.size())
                continue;
            image->resources[{type, name}] = std::vector<std::uint8_t>(
                bytes.begin() + static_cast<std::ptrdiff_t>(data),
                bytes.begin() + static_cast<std::ptrdiff_t>(data + dataSize));
        }
    return true;
}

bool ParseVersionInfo(const std::vector<std::uint8_t>& data, VersionInfo* info) {
    std::size_t end = 0;
    if (Utf16At(data, 6, &end) != "VS_VERSION_INFO")
        return false;
    std::size_t fixed = Align4(end);
    std::uint32_t signature = 0;
    if (!Get(data, fixed, &signature) || signature != 0xFEEF04BD)
        return false;
    Get(data, fixed + 8, &info->fileVersionMS);
    Get(data, fixed + 12, &info->fileVersionLS);
    Get(data, fixed + 16, &info->productVersionMS);
    Get(data, fixed + 20, &info->productVersionLS);
    Get(data, fixed + 32, &info->fileOS);
    Get(data, fixed + 36, &info->fileType);
    // Children: StringFileInfo -> one string table -> strings.
    std::size_t child = Align4(fixed + 52);
    std::uint16_t length = 0;
    while (Get(data, child, &length) && length != 0) {
        if (Utf16At(data, child + 6, &end) == "StringFileInfo") {
            std::size_t table = Align4(end);
            std::uint16_t tableLength = 0;
            Get(data, table, &tableLength);
            Utf16At(data, table + 6, &end);
            for (std::size_t s = Align4(end); s < table + tableLength;) {
                std::uint16_t stringLength = 0, valueLength = 0;
                if (!Get(data, s, &stringLength) || !Get(data, s + 2, &valueLength) ||
                    stringLength == 0)
                    break;
                std::string key = Utf16At(data, s + 6, &end);
                std::size_t valueEnd = 0;
                info->strings[key] = valueLength ? Utf16At(data, Align4(end), &valueEnd) : "";
                s = Align4(s + stringLength);
            }
        }
        child = Align4(child + length);
    }
    return true;
}
