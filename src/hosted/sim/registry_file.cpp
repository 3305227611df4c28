#include "sim/registry_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "advapi/registry_text.h"
#include "kernel/replace_file.h"
#include "sim/user_messages.h"

namespace hosted {
namespace {

const char kHeader[] = "BRISKARN registry 1";

// A backslash inside a name would read back as two keys.
std::string EscapeKeyName(const std::string& name) {
    std::string escaped;
    for (char c : EscapeRegistryText(name))
        escaped += c == '\\' ? std::string("%5C") : std::string(1, c);
    return escaped;
}

std::string g_filePath;

void FormatKey(const RegistryKey& key, bool isRoot, std::string* text) {
    if (!isRoot || !key.values.empty()) {
        std::string line;
        // Escaped name by name: the backslashes between them stay as they are.
        for (const std::string& name : KeyPathNames(key))
            line += (line.empty() ? "[" : "\\") + EscapeKeyName(name);
        *text += line + "]\n";
    }
    for (const auto& [name, value] : key.values)
        *text += "\"" + EscapeRegistryText(name) + "\"=" + FormatRegistryValue(value) + "\n";
    for (const auto& entry : key.subkeys)
        FormatKey(*entry.second, false, text);
}

bool ParseKeyLine(const std::string& line, std::shared_ptr<RegistryKey>* key) {
    if (line.size() < 3 || line.back() != ']')
        return false;
    std::string path = line.substr(1, line.size() - 2);
    std::size_t slash = path.find('\\');
    std::shared_ptr<RegistryKey> root = RootByName(path.substr(0, slash));
    std::vector<std::string> names;
    if (!root || (slash != std::string::npos && !SplitKeyPath(path.substr(slash + 1), &names)))
        return false;
    for (std::string& name : names)
        if (!UnescapeRegistryText(std::string(name), &name))
            return false;
    if (CheckKeyNames(*root, names) != ERROR_SUCCESS)
        return false;
    bool created = false;
    *key = CreateSubkey(root, names, &created);
    return true;
}

bool ParseBytes(const std::string& text, std::vector<BYTE>* bytes) {
    for (std::size_t i = 0; i < text.size(); i += 3) {
        int high = HexDigit(text[i]);
        int low = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        if (high < 0 || low < 0 || (i + 2 < text.size() && text[i + 2] != ','))
            return false;
        bytes->push_back(static_cast<BYTE>(high * 16 + low));
    }
    return text.empty() || text.back() != ',';
}

bool ParseDword(const std::string& digits, DWORD* value) {
    if (digits.empty() || digits.size() > 10 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    unsigned long long number = std::stoull(digits);
    *value = static_cast<DWORD>(number);
    return number <= 0xFFFFFFFFull;
}

bool ParseValueLine(const std::string& line, RegistryKey& key) {
    std::size_t close = line.find('"', 1);
    std::string name;
    if (close == std::string::npos || line.compare(close + 1, 1, "=") != 0 ||
        !UnescapeRegistryText(line.substr(1, close - 1), &name))
        return false;
    std::string rest = line.substr(close + 2);
    RegistryValue value;
    if (rest.compare(0, 6, "dword:") == 0) {
        DWORD number = 0;
        if (!ParseDword(rest.substr(6), &number))
            return false;
        value.type = REG_DWORD;
        value.data.resize(4);
        std::memcpy(value.data.data(), &number, 4);
    } else if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
        std::string text;
        if (rest.find('"', 1) != rest.size() - 1 ||
            !UnescapeRegistryText(rest.substr(1, rest.size() - 2), &text))
            return false;
        value.type = REG_SZ;
        value.data.assign(text.begin(), text.end());
        value.data.push_back(0);
    } else if (rest.compare(0, 4, "hex(") == 0) {
        std::size_t end = rest.find("):");
        DWORD type = 0;
        if (end == std::string::npos || !ParseDword(rest.substr(4, end - 4), &type) ||
            !ParseBytes(rest.substr(end + 2), &value.data))
            return false;
        value.type = type;
    } else {
        return false;
    }
    SetKeyValue(key, name, std::move(value));
    return true;
}

} // namespace

std::string FormatRegistry() {
    std::string text = std::string(kHeader) + "\n";
    for (const auto& [name, root] : Roots())
        FormatKey(*root, true, &text);
    return text;
}

bool ParseRegistry(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    bool header = false, whole = true;
    std::shared_ptr<RegistryKey> key;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (!header) {
            if (line != kHeader)
                return false;
            header = true;
        } else if (line[0] == '[') {
            // The values of a key that cannot be had go with it.
            if (!ParseKeyLine(line, &key)) {
                key.reset();
                whole = false;
            }
        } else if (line[0] != '"' || !key || !ParseValueLine(line, *key)) {
            whole = false;
        }
    }
    return header && whole;
}

namespace {

// Where a file that could not be read whole is kept before the first save.
std::string KeptCopyPath() {
    return g_filePath + ".bad";
}

// A registry file is a few kilobytes; far more is not one.
const std::size_t kMaxFileBytes = 16u << 20;

enum class FileRead { Missing, Read, Unreadable };

// Only a regular file of sensible size is read, so that a pipe cannot hang
// the run and a link to a device cannot feed it without end.
FileRead ReadRegistryText(const std::string& path, std::string* text) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? FileRead::Missing : FileRead::Unreadable;
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    char buffer[65536];
    while (ok) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got == 0)
            break;
        ok = got > 0 && text->size() + static_cast<std::size_t>(got) <= kMaxFileBytes;
        if (ok)
            text->append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return ok ? FileRead::Read : FileRead::Unreadable;
}

bool g_damaged = false; // the file in use holds what could not be read

// A damaged file is kept under another name before it is first replaced, so
// that what could not be read is never lost; said once, as it happens.
bool KeepDamagedFile() {
    std::string kept = KeptCopyPath();
    ::unlink(kept.c_str());
    if (::link(g_filePath.c_str(), kept.c_str()) != 0 &&
        ::rename(g_filePath.c_str(), kept.c_str()) != 0 && errno != ENOENT)
        return false;
    TellUser("briskarn: " + g_filePath + " could not be read whole; it is kept as " + kept);
    g_damaged = false;
    return true;
}

// A registry file that cannot be written leaves the run going on in memory:
// the settings are the program's only state and it reports nothing about them.
void SaveRegistryFile() {
    if (g_filePath.empty() || (g_damaged && !KeepDamagedFile()))
        return;
    ReplaceFileContents(g_filePath, FormatRegistry());
}

bool HasHeader(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] != ';')
            return line == kHeader;
    }
    return false;
}

} // namespace

void UseRegistryFile(const std::string& path) {
    g_filePath.clear(); // no saving while the file itself is read
    g_damaged = false;
    SetRegistryChangeHook(&SaveRegistryFile);
    ResetRegistry();
    if (path.empty())
        return;
    std::string text;
    FileRead read = ReadRegistryText(path, &text);
    // Editors that save UTF-8 may put a byte-order mark first.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    if (read == FileRead::Read && HasHeader(text)) {
        // The file lists every key it keeps, "Software" too.
        for (const auto& [name, root] : Roots()) {
            root->subkeys.clear();
            root->values.clear();
        }
        g_damaged = !ParseRegistry(text);
    } else {
        // Not ours to read: kept all the same, unless there is nothing in it.
        g_damaged =
            read == FileRead::Unreadable || text.find_first_not_of(" \t\r\n") != std::string::npos;
    }
    g_filePath = path;
}

} // namespace hosted
