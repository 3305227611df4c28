#include "injected.h"

#include <cstdio>
#include <cstring>

#include "bench_memory.h"

HRESULT InjectedResult(const char* interfaceName, const char* method, int device) {
    bench::Memory* memory = bench::OpenMemory();
    if (!memory)
        return S_OK;
    char named[80], alias[80];
    std::snprintf(named, sizeof named, "%s::%s", interfaceName, method);
    std::snprintf(alias, sizeof alias, "IDirectInputDeviceA::%s", method);
    // Most runs inject nothing: no need for the lock on every call then.
    if (memory->failureCount == 0)
        return S_OK;
    HRESULT result = S_OK;
    bench::Lock lock;
    for (DWORD i = 0; i < memory->failureCount && i < bench::kFailures; ++i) {
        bench::Failure& rule = memory->failures[i];
        bool aliased = device >= 0 && std::strcmp(rule.method, alias) == 0;
        if (std::strcmp(rule.method, named) != 0 && !aliased)
            continue;
        if (rule.device >= 0 && rule.device != device)
            continue;
        ++rule.seen;
        if (result == S_OK && (rule.call == 0 || rule.call == rule.seen))
            result = rule.code;
    }
    return result;
}
