#include "dinput/failures.h"

#include <vector>

#include "core/forever.h"

namespace hosted {
namespace {

struct Rule {
    std::string method;
    int device;
    unsigned call;
    HRESULT code;
    unsigned seen = 0;
};

std::vector<Rule>& Rules() {
    static Forever<std::vector<Rule>> rules;
    return *rules;
}

bool Names(const Rule& rule, const char* interfaceName, const char* method) {
    return rule.method == std::string(interfaceName) + "::" + method;
}

} // namespace

void InjectInputFailure(const std::string& method, int device, unsigned call, HRESULT code) {
    Rules().push_back(Rule{method, device, call, code});
}

void ClearInputFailures() {
    Rules().clear();
}

HRESULT InjectedResult(const char* interfaceName, const char* method, int device) {
    HRESULT result = S_OK;
    for (Rule& rule : Rules()) {
        bool gameDeviceAlias = device >= 0 && Names(rule, "IDirectInputDeviceA", method);
        if (!Names(rule, interfaceName, method) && !gameDeviceAlias)
            continue;
        if (rule.device >= 0 && rule.device != device)
            continue;
        ++rule.seen;
        if (result == S_OK && (rule.call == 0 || rule.call == rule.seen))
            result = rule.code;
    }
    return result;
}

} // namespace hosted
