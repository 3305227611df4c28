// Scenario steps that set up the simulated registry:
//
//   registry dword PATH NAME N
//   registry string PATH NAME TEXT
//   registry delete PATH
//
// PATH starts with a root ("HKLM" or "HKEY_LOCAL_MACHINE") and takes in
// every following word that holds a backslash, so that
// "HKLM\Software\ORMEL Software\BRISKARN\Buttons" needs no quotes; a PATH
// or NAME in double quotes may hold any blanks. TEXT is the rest of the
// line, or what stands between double quotes. Missing keys on the way are
// created; delete takes the key with everything below it.
#include <algorithm>
#include <cstring>

#include "core/machine.h"
#include "advapi/registry_tree.h"
#include "sim/steps.h"

namespace hosted {
namespace {

const char kUsage[] = "expected 'registry dword PATH NAME N', 'registry string PATH NAME TEXT' "
                      "or 'registry delete PATH'";

struct Word {
    std::string text;
    std::size_t begin = 0, end = 0; // in the step's text, quotes included
    bool quoted = false;
};

bool SplitWords(const std::string& text, std::vector<Word>* words) {
    std::size_t i = 0;
    while ((i = text.find_first_not_of(" \t", i)) != std::string::npos) {
        Word word;
        word.begin = i;
        word.quoted = text[i] == '"';
        if (word.quoted) {
            std::size_t close = text.find('"', i + 1);
            if (close == std::string::npos)
                return false;
            word.text = text.substr(i + 1, close - i - 1);
            i = close + 1;
        } else {
            i = std::min(text.find_first_of(" \t", i), text.size());
            word.text = text.substr(word.begin, i - word.begin);
        }
        word.end = i;
        words->push_back(word);
    }
    return true;
}

std::string Unquoted(const std::string& text) {
    bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
    return quoted ? text.substr(1, text.size() - 2) : text;
}

// The root and the names below it; false with the reason.
bool ParsePath(const std::string& path, std::shared_ptr<RegistryKey>* root,
               std::vector<std::string>* names, std::string* error) {
    std::size_t slash = path.find('\\');
    *root = RootByName(path.substr(0, slash));
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

bool DeleteKey(const std::string& path, std::string* error) {
    std::shared_ptr<RegistryKey> root;
    std::vector<std::string> names;
    if (!ParsePath(path, &root, &names, error))
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

bool SetValue(const std::string& verb, const std::string& text, std::string* error) {
    std::vector<Word> words;
    if (!SplitWords(text, &words) || words.size() < 2) {
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
        std::uint64_t number = 0;
        if (next + 1 != words.size() || !ParseNumber(words[next].text, &number) ||
            number > 0xFFFFFFFFu) {
            *error = "expected 'registry dword PATH NAME N' with N of 32 bits";
            return false;
        }
        DWORD dword = static_cast<DWORD>(number);
        value.type = REG_DWORD;
        value.data.resize(sizeof dword);
        std::memcpy(value.data.data(), &dword, sizeof dword);
    } else {
        std::string rest = next < words.size() ? Unquoted(text.substr(words[next].begin)) : "";
        value.type = REG_SZ;
        value.data.assign(rest.begin(), rest.end());
        value.data.push_back(0);
    }
    std::shared_ptr<RegistryKey> root;
    std::vector<std::string> names;
    if (!ParsePath(path, &root, &names, error))
        return false;
    bool created = false;
    SetKeyValue(*CreateSubkey(root, names, &created), name, std::move(value));
    return true;
}

} // namespace

bool StepRegistry(const Step& step, std::string* error) {
    const std::string verb = step.words.size() > 1 ? step.words[1] : "";
    MachineLock lock = LockMachine();
    if (verb == "delete" && !step.rest.empty())
        return DeleteKey(Unquoted(step.rest), error);
    if (verb == "dword" || verb == "string")
        return SetValue(verb, step.rest, error);
    *error = kUsage;
    return false;
}

} // namespace hosted
