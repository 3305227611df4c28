#include "injected.h"

#include <algorithm>

#include "bench_memory.h"
#include "testbed/dinput_answers.h"

HRESULT InjectedResult(const char* interfaceName, const char* method, int device) {
    bench::Memory* memory = bench::OpenMemory();
    // Most runs inject nothing: no need for the lock on every call then.
    if (!memory || memory->failureCount == 0)
        return S_OK;
    bench::Lock lock;
    bench::Failure* rules = memory->failures;
    return CountInjectedCall(rules, rules + std::min<DWORD>(memory->failureCount, bench::kFailures),
                             interfaceName, method, device);
}
