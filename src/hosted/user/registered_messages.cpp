// Registered window messages: one number from 0xC000 up for each name,
// whatever its case.
#include <cctype>
#include <map>
#include <mutex>
#include <string>

#include "core/forever.h"
#include "user/observers.h"

namespace hosted {
namespace {

struct RegisteredMessages {
    std::mutex mutex;
    std::map<std::string, UINT> atoms; // by the name in capitals
    std::map<UINT, std::string> names; // as first registered
};

// Made on first use: the program registers its messages during static
// initialisation.
RegisteredMessages& Registered() {
    static Forever<RegisteredMessages> registered;
    return *registered;
}

} // namespace

std::string RegisteredMessageName(UINT message) {
    RegisteredMessages& registered = Registered();
    std::lock_guard<std::mutex> guard(registered.mutex);
    auto it = registered.names.find(message);
    return it == registered.names.end() ? std::string() : it->second;
}

} // namespace hosted

using namespace hosted;

UINT WINAPI RegisterWindowMessageA(LPCSTR name) {
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    RegisteredMessages& registered = Registered();
    std::lock_guard<std::mutex> guard(registered.mutex);
    auto it = registered.atoms.find(key);
    if (it != registered.atoms.end())
        return it->second;
    UINT atom = 0xC000 + static_cast<UINT>(registered.atoms.size());
    registered.atoms[key] = atom;
    registered.names[atom] = name;
    return atom;
}
