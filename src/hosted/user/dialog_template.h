// Dialog templates as the resource compiler writes them (DLGTEMPLATE and
// DLGTEMPLATEEX with their items), decoded for the hosted dialog manager.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace hosted {

struct DialogItemTemplate {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::string className; // "Button", "Edit", "Static", or the name given
    std::string text;
    WORD textOrdinal = 0; // a resource id instead of a text (icons)
};

struct DialogTemplate {
    bool extended = false;
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;
    WORD pointSize = 0;
    std::string font;
    std::vector<DialogItemTemplate> items;
};

// False when the data is not a well-formed template.
bool ParseDialogTemplate(const BYTE* data, DWORD size, DialogTemplate* out);

} // namespace hosted
