// Scenario steps that set up the simulated registry:
//
//   registry dword PATH NAME N
//   registry string PATH NAME TEXT
//   registry binary PATH NAME [type=N] XX XX ...
//   registry key PATH
//   registry delete PATH
//
// PATH starts with a root ("HKLM" or "HKEY_LOCAL_MACHINE") and takes in
// every following word that holds a backslash, so that
// "HKLM\Software\ORMEL Software\BRISKARN\Buttons" needs no quotes; a PATH
// or NAME in double quotes may hold any blanks, a doubled quote standing for
// one. TEXT is the rest of the line, or what stands between double quotes.
// A binary value is its bytes in hexadecimal, of REG_BINARY unless `type=`
// names another type. Missing keys on the way are created; delete takes the
// key with everything below it.
#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/machine.h"
#include "sim/registry_steps.h"
#include "sim/steps.h"
#include "testbed/step_words.h"

namespace hosted {
namespace {

const char kUsage[] = "expected 'registry dword|string|binary PATH NAME VALUE' or "
                      "'registry key|delete PATH'";

// The whole text as one quoted word, or the text as it stands with quotes
// at both ends taken off.
std::string Unquoted(const std::string& text) {
    std::vector<StepWord> words;
    if (SplitStepWords(text, &words) && words.size() == 1 && words[0].quoted &&
        words[0].end == text.size())
        return words[0].text;
    bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
    return quoted ? text.substr(1, text.size() - 2) : text;
}

// The root and the names below it; false with the reason.
bool ParsePath(const std::string& path, RegistryRootLookup lookup,
               std::shared_ptr<RegistryKey>* root, std::vector<std::string>* names,
               std::string* error) {
    std::size_t slash = path.find('\\');
    *root = lookup(path.substr(0, slash));
    if (!*root) {
        *error = "no registry root '" + path.substr(0, slash) + "'";
        return false;
    }
    if (slash != std::string::npos && !SplitKeyPath(path.substr(slash + 1), names)) {
        *error = "empty key name in '" + path + "'";
        return false;
    }
    if (CheckKeyNames(**root, *names) != ERROR_SUCCESS) {
        *error = "a key name longer than 255 characters or a key deeper than 512 levels";
        return false;
    }
    return true;
}

bool DeleteKey(const std::string& path, RegistryRootLookup lookup, std::string* error) {
    std::shared_ptr<RegistryKey> root;
    std::vector<std::string> names;
    if (!ParsePath(path, lookup, &root, &names, error))
        return false;
    if (names.empty()) {
        *error = "a registry root cannot be deleted";
        return false;
    }
    std::shared_ptr<RegistryKey> key = FindSubkey(root, names);
    if (!key) {
        *error = "the registry has no key '" + path + "'";
        return false;
    }
    RemoveKey(key);
    return true;
}

bool CreateKey(const std::string& path, RegistryRootLookup lookup, std::string* error) {
    std::shared_ptr<RegistryKey> root;
    std::vector<std::string> names;
    if (!ParsePath(path, lookup, &root, &names, error))
        return false;
    bool created = false;
    CreateSubkey(root, names, &created);
    return true;
}

bool ParseDword(const std::vector<StepWord>& words, std::size_t next, RegistryValue* value,
                std::string* error) {
    std::uint64_t number = 0;
    if (next + 1 != words.size() || !ParseNumber(words[next].text, &number) ||
        number > 0xFFFFFFFFu) {
        *error = "expected 'registry dword PATH NAME N' with N of 32 bits";
        return false;
    }
    DWORD dword = static_cast<DWORD>(number);
    value->type = REG_DWORD;
    value->data.resize(sizeof dword);
    std::memcpy(value->data.data(), &dword, sizeof dword);
    return true;
}

int HexDigit(char c) {
    const char* digits = "0123456789abcdef";
    const char* found =
        c ? std::strchr(digits, std::tolower(static_cast<unsigned char>(c))) : nullptr;
    return found ? static_cast<int>(found - digits) : -1;
}

bool ParseBinary(const std::vector<StepWord>& words, std::size_t next, RegistryValue* value,
                 std::string* error) {
    *error = "expected 'registry binary PATH NAME [type=N] XX ...' with N of 32 bits and "
             "bytes of two hexadecimal digits";
    value->type = REG_BINARY;
    if (next < words.size() && words[next].text.compare(0, 5, "type=") == 0) {
        std::uint64_t type = 0;
        if (!ParseNumber(words[next].text.substr(5), &type) || type > 0xFFFFFFFFu)
            return false;
        value->type = static_cast<DWORD>(type);
        ++next;
    }
    for (; next < words.size(); ++next) {
        const std::string& byte = words[next].text;
        if (byte.size() != 2 || HexDigit(byte[0]) < 0 || HexDigit(byte[1]) < 0)
            return false;
        value->data.push_back(static_cast<BYTE>(HexDigit(byte[0]) * 16 + HexDigit(byte[1])));
    }
    return true;
}

bool SetValue(const std::string& verb, const std::string& text, RegistryRootLookup lookup,
              std::string* error) {
    std::vector<StepWord> words;
    if (!SplitStepWords(text, &words) || words.size() < 2) {
        *error = kUsage;
        return false;
    }
    std::size_t next = 1;
    std::string path = words[0].text;
    while (!words[0].quoted && next < words.size() && !words[next].quoted &&
           words[next].text.find('\\') != std::string::npos)
        path = text.substr(0, words[next++].end);
    if (next >= words.size()) {
        *error = kUsage;
        return false;
    }
    std::string name = words[next++].text;
    RegistryValue value;
    if (verb == "dword") {
        if (!ParseDword(words, next, &value, error))
            return false;
    } else if (verb == "binary") {
        if (!ParseBinary(words, next, &value, error))
            return false;
    } else {
        std::string rest = next < words.size() ? Unquoted(text.substr(words[next].begin)) : "";
        value.type = REG_SZ;
        value.data.assign(rest.begin(), rest.end());
        value.data.push_back(0);
    }
    std::shared_ptr<RegistryKey> root;
    std::vector<std::string> names;
    if (!ParsePath(path, lookup, &root, &names, error))
        return false;
    bool created = false;
    SetKeyValue(*CreateSubkey(root, names, &created), name, std::move(value));
    return true;
}

} // namespace

bool ApplyRegistryStep(const Step& step, RegistryRootLookup root, std::string* error) {
    const std::string verb = step.words.size() > 1 ? step.words[1] : "";
    if (verb == "delete" && !step.rest.empty())
        return DeleteKey(Unquoted(step.rest), root, error);
    if (verb == "key" && !step.rest.empty())
        return CreateKey(Unquoted(step.rest), root, error);
    if (verb == "dword" || verb == "string" || verb == "binary")
        return SetValue(verb, step.rest, root, error);
    *error = kUsage;
    return false;
}

bool StepRegistry(const Step& step, std::string* error) {
    MachineLock lock = LockMachine();
    return ApplyRegistryStep(step, &RootByName, error);
}

} // namespace hosted
