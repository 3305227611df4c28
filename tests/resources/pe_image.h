// Reads what a test needs from a Windows executable file: the header fields
// that decide where it loads, and its resources.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct PeImage {
    bool is64 = false;
    std::uint16_t subsystem = 0;
    std::uint16_t subsystemMajor = 0, subsystemMinor = 0;
    std::uint16_t osMajor = 0, osMinor = 0;
    // (type, name) -> data of the first language
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::vector<std::uint8_t>> resources;
};

// False with a reason when the file cannot be read or is no PE image.
bool ReadPeImage(const std::string& path, PeImage* image, std::string* error);

struct VersionInfo {
    std::uint32_t fileVersionMS = 0, fileVersionLS = 0;
    std::uint32_t productVersionMS = 0, productVersionLS = 0;
    std::uint32_t fileOS = 0, fileType = 0;
    std::map<std::string, std::string> strings; // of the first string table
};

bool ParseVersionInfo(const std::vector<std::uint8_t>& data, VersionInfo* info);
