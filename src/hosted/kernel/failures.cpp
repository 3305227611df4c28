#include "kernel/failures.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/forever.h"
#include "kernel/objects.h"

namespace hosted {
namespace {

const char* const kInjectable[] = {"CreateEventA", "CreateThread", "WaitForMultipleObjects"};

bool IsInjectable(const std::string& function) {
    for (const char* name : kInjectable)
        if (function == name)
            return true;
    return false;
}

struct Rule {
    std::string function;
    unsigned call;
    DWORD lastError;
    unsigned seen = 0;
};

std::vector<Rule>& Rules() {
    static Forever<std::vector<Rule>> rules;
    return *rules;
}

} // namespace

bool InjectKernelFailure(const std::string& function, unsigned call, DWORD lastError,
                         std::string* error) {
    if (!IsInjectable(function)) {
        *error = "the machine cannot fail '" + function + "'";
        return false;
    }
    Rules().push_back(Rule{function, call, lastError});
    return true;
}

void ClearKernelFailures() {
    Rules().clear();
}

std::vector<std::string> InjectableKernelFunctions() {
    return std::vector<std::string>(std::begin(kInjectable), std::end(kInjectable));
}

bool KernelCallFails(const char* function) {
    if (!IsInjectable(function)) {
        std::fprintf(stderr, "hosted kernel: %s is missing from the injectable functions\n",
                     function);
        std::abort();
    }
    bool fails = false;
    for (Rule& rule : Rules()) {
        if (rule.function != function)
            continue;
        ++rule.seen;
        if (!fails && (rule.call == 0 || rule.call == rule.seen)) {
            fails = true;
            SetLastErrorCode(rule.lastError);
        }
    }
    return fails;
}

} // namespace hosted
