// The registry written as the scenario steps that set it up, so that a
// recording of an interactive run starts from the settings the run found.
#include <cstring>

#include "advapi/registry_tree.h"
#include "sim/session.h"

namespace hosted {
namespace {

// Quoted words hold anything but a double quote or a line end, and a "#"
// would start a comment.
bool Spellable(const std::string& text) {
    return text.find_first_of("\"#\r\n") == std::string::npos;
}

void AddKeyLines(const RegistryKey& key, const std::string& path, std::vector<std::string>* lines) {
    for (const auto& [name, value] : key.values) {
        if (!Spellable(path) || !Spellable(name) || name.empty())
            continue;
        std::string where = "\"" + path + "\" \"" + name + "\" ";
        if (value.type == REG_DWORD && value.data.size() == 4) {
            DWORD number = 0;
            std::memcpy(&number, value.data.data(), 4);
            lines->push_back("registry dword " + where + std::to_string(number));
        } else if (value.type == REG_SZ) {
            std::string text(value.data.begin(), value.data.end());
            text = text.substr(0, text.find('\0'));
            if (Spellable(text))
                lines->push_back("registry string " + where + "\"" + text + "\"");
        }
    }
    for (const auto& [name, subkey] : key.subkeys)
        AddKeyLines(*subkey, path + "\\" + name, lines);
}

} // namespace

std::vector<std::string> RegistrySetUpLines() {
    std::vector<std::string> lines;
    for (const auto& [name, root] : Roots())
        AddKeyLines(*root, name, &lines);
    return lines;
}

} // namespace hosted
