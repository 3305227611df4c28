// The `registry` steps, carried out on the machine's registry or on another
// tree of keys (the settings kept between interactive runs), and the steps
// that give a fresh registry the keys and values a tree holds. Everything
// here is called with the machine lock held.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "advapi/registry_tree.h"
#include "sim/steps.h"

namespace hosted {

// The root of a tree by its short or long name ("HKLM" or
// "HKEY_LOCAL_MACHINE"); null when there is none.
using RegistryRootLookup = std::shared_ptr<RegistryKey> (*)(const std::string& name);
using RegistryRoots = std::vector<std::pair<std::string, std::shared_ptr<RegistryKey>>>;

// Carries out a `registry` step on the tree; false with the reason.
bool ApplyRegistryStep(const Step& step, RegistryRootLookup root, std::string* error);

// The `registry` lines that give a fresh registry what `roots` holds beyond
// it, a line a value (a key without values that the fresh registry lacks:
// a line of its own). A value no line can hold (a name with a line end)
// gets a comment line that says so instead.
std::vector<std::string> RegistryStepLines(const RegistryRoots& roots);

} // namespace hosted
