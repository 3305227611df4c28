// The registry file reader: whatever it made of a text, saving that and
// reading it back gives the same settings, read whole.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/machine.h"
#include "sim/registry_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    hosted::MachineLock lock = hosted::LockMachine();
    hosted::ParseKeptRegistry(std::string(reinterpret_cast<const char*>(data), size));
    std::string saved = hosted::FormatKeptRegistry();
    if (!hosted::ParseKeptRegistry(saved) || hosted::FormatKeptRegistry() != saved)
        std::abort();
    return 0;
}
