// Stands in for the kernel's private profile calls over real INI files.
// Windows looks for a bare file name in the Windows directory; the hosted
// machine has none, so a bare name is taken from the current directory, as
// every other file here is. Section and entry names match without regard to
// case, and a written file has Windows line ends.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <strings.h>
#include <unistd.h>
#include <vector>

#include "kernel/host_paths.h"
#include "kernel/objects.h"
#include "kernel/replace_file.h"

namespace hosted {
namespace {

std::string Trim(const std::string& text) {
    std::size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return "";
    return text.substr(begin, text.find_last_not_of(" \t") - begin + 1);
}

struct ProfileFile {
    std::vector<std::string> lines;

    bool Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return false;
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
        }
        return true;
    }

    bool Write(const std::string& path) const {
        std::string bytes;
        for (const std::string& line : lines)
            bytes += line + "\r\n";
        return ReplaceFileContents(path, bytes);
    }

    // "[name]" lines; the name ends at the first ']'.
    static bool IsSection(const std::string& line, std::string* name) {
        std::string text = Trim(line);
        if (text.empty() || text[0] != '[')
            return false;
        *name = Trim(text.substr(1, text.find(']') - 1));
        return true;
    }

    // "key=value" lines, blanks around either ignored; ';' starts a comment.
    static bool IsEntry(const std::string& line, std::string* key, std::string* value) {
        std::string text = Trim(line);
        if (text.empty() || text[0] == ';' || text[0] == '[')
            return false;
        std::size_t equals = text.find('=');
        *key = Trim(text.substr(0, equals));
        *value = equals == std::string::npos ? "" : Trim(text.substr(equals + 1));
        return true;
    }

    // Line index of the section header, or -1; *end is one past its last line.
    long FindSection(const char* section, std::size_t* end) const {
        std::string name;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!IsSection(lines[i], &name) || strcasecmp(name.c_str(), section) != 0)
                continue;
            *end = i + 1;
            while (*end < lines.size() && !IsSection(lines[*end], &name))
                ++*end;
            return static_cast<long>(i);
        }
        return -1;
    }

    long FindEntry(std::size_t begin, std::size_t end, const char* entry,
                   std::string* value) const {
        std::string key;
        for (std::size_t i = begin; i < end; ++i)
            if (IsEntry(lines[i], &key, value) && strcasecmp(key.c_str(), entry) == 0)
                return static_cast<long>(i);
        return -1;
    }
};

// As Windows reads the number: blanks, a sign, "0x" for hexadecimal, then
// digits up to the first that is not one ("55zz" is 55, "zz" is 0).
UINT ParseProfileInt(std::string text) {
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front())
        text = Trim(text.substr(1, text.size() - 2));
    std::size_t i = 0;
    bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    UINT base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    UINT value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        UINT digit = c >= '0' && c <= '9'   ? static_cast<UINT>(c - '0')
                     : c >= 'a' && c <= 'f' ? static_cast<UINT>(c - 'a' + 10)
                     : c >= 'A' && c <= 'F' ? static_cast<UINT>(c - 'A' + 10)
                                            : 99;
        if (digit >= base)
            break;
        value = value * base + digit;
    }
    return negative ? 0u - value : value;
}

} // namespace
} // namespace hosted

using namespace hosted;

// The default when the file, the section or the entry is missing, or the
// entry has no text.
UINT WINAPI GetPrivateProfileIntA(LPCSTR section, LPCSTR entry, INT defaultValue, LPCSTR fileName) {
    MachineLock lock = LockMachine();
    ProfileFile file;
    std::size_t end = 0;
    std::string value;
    if (!section || !entry || !fileName || !*fileName || !file.Read(NativePath(fileName)))
        return static_cast<UINT>(defaultValue);
    long header = file.FindSection(section, &end);
    if (header < 0 ||
        file.FindEntry(static_cast<std::size_t>(header) + 1, end, entry, &value) < 0 ||
        value.empty())
        return static_cast<UINT>(defaultValue);
    return ParseProfileInt(value);
}

// Creates the file and the section as needed; a null text removes the
// entry, a null entry the whole section.
BOOL WINAPI WritePrivateProfileStringA(LPCSTR section, LPCSTR entry, LPCSTR text, LPCSTR fileName) {
    MachineLock lock = LockMachine();
    if (!section || !fileName || !*fileName) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string path = NativePath(fileName);
    ProfileFile file;
    // The rename below would replace a read-only or unreadable file, which
    // Windows leaves alone.
    bool exists = ::access(path.c_str(), F_OK) == 0;
    if (exists && (::access(path.c_str(), R_OK | W_OK) != 0 || !file.Read(path))) {
        SetLastErrorCode(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    std::size_t end = 0;
    std::string value;
    long header = file.FindSection(section, &end);
    long found = header < 0 || !entry
                     ? -1
                     : file.FindEntry(static_cast<std::size_t>(header) + 1, end, entry, &value);
    auto& lines = file.lines;
    if (!entry) {
        if (header >= 0)
            lines.erase(lines.begin() + header, lines.begin() + static_cast<long>(end));
    } else if (!text) {
        if (found >= 0)
            lines.erase(lines.begin() + found);
    } else if (found >= 0) {
        std::string key, old;
        ProfileFile::IsEntry(lines[static_cast<std::size_t>(found)], &key, &old);
        lines[static_cast<std::size_t>(found)] = key + "=" + text;
    } else if (header >= 0) {
        std::size_t after = end;
        while (after > static_cast<std::size_t>(header) + 1 && Trim(lines[after - 1]).empty())
            --after;
        lines.insert(lines.begin() + static_cast<long>(after), std::string(entry) + "=" + text);
    } else {
        if (!lines.empty() && !Trim(lines.back()).empty())
            lines.push_back("");
        lines.push_back("[" + std::string(section) + "]");
        lines.push_back(std::string(entry) + "=" + text);
    }
    if (!file.Write(path)) {
        SetLastErrorCode(errno == EACCES || errno == EROFS ? ERROR_ACCESS_DENIED
                                                           : ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}
