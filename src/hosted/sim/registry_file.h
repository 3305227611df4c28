// The settings an interactive run keeps between runs, as Windows keeps the
// registry on disk: what the program itself stored through the registry
// calls, never what a scenario or machine description set up. The file is
// a list of `registry` steps of the scenario format, read with the step's
// own parser:
//
//   # BRISKARN settings kept between runs, as scenario steps
//   registry dword "HKLM\Software\ORMEL Software\BRISKARN\Buttons" "Button1" 2
//
// A run applies them after its machine's set-up (KeptRegistryLines), so
// they win over the machine's. Everything is called with the machine lock
// held.
#pragma once

#include <string>
#include <vector>

namespace hosted {

// The kept settings as the file's text.
std::string FormatKeptRegistry();
// Takes the kept settings from the text (what was kept is dropped), every
// line that is a good `registry` step; false when a line was not one (it is
// left out).
bool ParseKeptRegistry(const std::string& text);
// The kept settings as the steps that apply them.
std::vector<std::string> KeptRegistryLines();

// Interactive runs keep the settings in the file at `path`: the machine's
// registry is made fresh, the settings are read now (a missing file gives
// none, of a damaged one every line that can be read), and the file is
// written anew after every change the program makes. A file that could not
// be read whole (a line that is no registry step, not a regular file, over
// 16 MiB) is first kept as `path`.bad, which is said once on standard
// error. An empty path keeps them in memory only.
void UseRegistryFile(const std::string& path);

} // namespace hosted
