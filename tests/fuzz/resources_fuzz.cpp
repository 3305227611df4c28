// The compiled resource reader and the dialog template parser: any bytes,
// read as a .res file and as a template, stay within their bounds.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "kernel/resources.h"
#include "user/dialog_template.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of the exact size, so that a read past the end is seen.
    std::vector<BYTE> bytes(data, data + size);
    std::vector<hosted::ResourceEntry> entries;
    hosted::ParseResources(bytes.data(), bytes.size(), &entries);
    for (const hosted::ResourceEntry& entry : entries) {
        if (entry.data < bytes.data() || entry.data + entry.size > bytes.data() + bytes.size())
            std::abort();
        hosted::DialogTemplate dialog;
        if (entry.nameId != 0 || entry.typeId == 5)
            hosted::ParseDialogTemplate(entry.data, entry.size, &dialog);
    }
    hosted::DialogTemplate dialog;
    hosted::ParseDialogTemplate(bytes.data(), static_cast<DWORD>(bytes.size()), &dialog);
    return 0;
}
