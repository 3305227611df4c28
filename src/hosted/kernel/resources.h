// The program's compiled resources (the .res that windres makes from
// briskarn.rc), as the hosted module's resource section.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <windows.h>

namespace hosted {

struct ResourceEntry {
    std::u16string typeName, name; // empty when the id is an ordinal
    WORD typeId = 0, nameId = 0;
    WORD language = 0;
    const BYTE* data = nullptr;
    DWORD size = 0;
};

const std::vector<ResourceEntry>& ModuleResources();
// Reads the entries of a .res file, pointing into `data`; false when a
// header does not fit what follows.
bool ParseResources(const BYTE* data, std::size_t size, std::vector<ResourceEntry>* entries);
// type and name as FindResourceA takes them: MAKEINTRESOURCE ordinals, "#123" or names.
const ResourceEntry* FindModuleResource(LPCSTR type, LPCSTR name);
// The same, as FindResourceA looks in a module: null with the last error for
// another module than the program's or a missing resource.
const ResourceEntry* FindResourceIn(HMODULE module, LPCSTR type, LPCSTR name);

HINSTANCE ModuleHandle();

// Windows' narrow conversion for the plain ASCII texts that resources hold.
std::string Narrow(const std::u16string& text);

} // namespace hosted
