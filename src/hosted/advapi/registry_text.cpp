#include "advapi/registry_text.h"

#include <cstdio>
#include <cstring>

namespace hosted {

static bool NeedsEscape(unsigned char c) {
    return c == '%' || c == '"' || c < 0x20 || c == 0x7F;
}

std::string EscapeRegistryText(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (NeedsEscape(static_cast<unsigned char>(c))) {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", static_cast<unsigned char>(c));
            escaped += code;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool UnescapeRegistryText(const std::string& text, std::string* plain) {
    plain->clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            *plain += text[i];
            continue;
        }
        int high = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        int low = high >= 0 ? HexDigit(text[i + 2]) : -1;
        if (low < 0)
            return false;
        *plain += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

static bool IsPlainString(const RegistryValue& value) {
    const std::vector<BYTE>& data = value.data;
    return value.type == REG_SZ && !data.empty() && data.back() == 0 &&
           std::memchr(data.data(), 0, data.size() - 1) == nullptr;
}

std::string FormatRegistryValue(const RegistryValue& value) {
    if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number;
        std::memcpy(&number, value.data.data(), 4);
        return "dword:" + std::to_string(number);
    }
    if (IsPlainString(value))
        return "\"" + EscapeRegistryText(std::string(value.data.begin(), value.data.end() - 1)) +
               "\"";
    std::string text = "hex(" + std::to_string(value.type) + "):";
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        char byte[4];
        std::snprintf(byte, sizeof byte, i ? ",%02x" : "%02x", value.data[i]);
        text += byte;
    }
    return text;
}

} // namespace hosted
