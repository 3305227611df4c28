// The registry file reader: whatever it made of a text, saving that and
// reading it back gives the same registry, read whole.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/machine.h"
#include "sim/registry_file.h"

namespace {

void Empty() {
    hosted::ResetRegistry();
    // As a file in use is read: it lists every key it keeps.
    for (const auto& [name, root] : hosted::Roots()) {
        root->subkeys.clear();
        root->values.clear();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    hosted::MachineLock lock = hosted::LockMachine();
    Empty();
    hosted::ParseRegistry(std::string(reinterpret_cast<const char*>(data), size));
    std::string saved = hosted::FormatRegistry();
    Empty();
    if (!hosted::ParseRegistry(saved) || hosted::FormatRegistry() != saved)
        std::abort();
    return 0;
}
