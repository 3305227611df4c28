// What a key typed into an edit makes of its text: the selection replaced,
// or the character before the caret taken away by Backspace.
#pragma once

#include <string>

#include <windows.h>

namespace hosted::term {

constexpr int kBackspace = 8;

// The edit's text after `key` (a printable character or kBackspace), the
// caret at the selection's end; false for any other key.
bool TextAfterKey(const std::string& text, DWORD selStart, DWORD selEnd, int key,
                  std::string* result);

// The `type` step that puts `text` into edit `id`; false when a scenario
// line cannot spell the text (a control character, line ends included, or
// a "#" after a blank, which would start a comment).
bool TypeStepLine(int id, const std::string& text, std::string* line);

} // namespace hosted::term
