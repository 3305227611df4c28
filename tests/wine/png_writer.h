// Writes 24-bit RGB pixels as a PNG file (uncompressed deflate blocks):
// enough for screenshots a person looks at.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// rgb: width * height * 3 bytes, top row first.
bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);
