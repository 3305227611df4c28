// The registry written as the scenario steps that set it up: the recording
// of an interactive run starts from the settings the run found, and the
// file that keeps them between runs is these lines.
#include <cstdio>
#include <cstring>

#include "sim/registry_steps.h"
#include "testbed/step_words.h"

namespace hosted {
namespace {

// Text a quoted word can hold; control characters would be lost to an
// editor, so a string holding one is written as its bytes.
bool PlainText(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    return true;
}

bool IsPlainString(const RegistryValue& value) {
    const std::vector<BYTE>& data = value.data;
    return value.type == REG_SZ && !data.empty() && data.back() == 0 &&
           PlainText(std::string(data.begin(), data.end() - 1));
}

std::string ValueLine(const std::string& where, const RegistryValue& value) {
    if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number = 0;
        std::memcpy(&number, value.data.data(), 4);
        return "registry dword " + where + " " + std::to_string(number);
    }
    if (IsPlainString(value))
        return "registry string " + where + " " +
               QuoteStepWord(std::string(value.data.begin(), value.data.end() - 1));
    std::string line = "registry binary " + where;
    if (value.type != REG_BINARY)
        line += " type=" + std::to_string(value.type);
    for (BYTE byte : value.data) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", byte);
        line += hex;
    }
    return line;
}

// A carriage return inside quotes stays in its line; a line feed would end it.
bool HasLineEnd(const std::string& text) {
    return text.find('\n') != std::string::npos;
}

// What a comment can show of a name.
std::string Shown(std::string text) {
    for (char& c : text)
        if (c == '\n')
            c = '?';
    return text;
}

void AddKeyLines(const RegistryKey& key, const std::string& path, std::vector<std::string>* lines) {
    if (HasLineEnd(path)) {
        lines->push_back("# left out, a key name holds a line end: " + Shown(path));
        return;
    }
    for (const auto& [name, value] : key.values) {
        if (HasLineEnd(name))
            lines->push_back("# left out, a value name holds a line end: " + Shown(path) + " " +
                             Shown(name));
        else
            lines->push_back(ValueLine(QuoteStepWord(path) + " " + QuoteStepWord(name), value));
    }
    if (key.values.empty() && key.subkeys.empty() && key.depth > 0 && !IsFreshKey(key))
        lines->push_back("registry key " + QuoteStepWord(path));
    for (const auto& [name, subkey] : key.subkeys)
        AddKeyLines(*subkey, path + "\\" + name, lines);
}

} // namespace

std::vector<std::string> RegistryStepLines(const RegistryRoots& roots) {
    std::vector<std::string> lines;
    for (const auto& [name, root] : roots)
        AddKeyLines(*root, name, &lines);
    return lines;
}

} // namespace hosted
