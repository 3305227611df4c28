#include "term/edit_keys.h"

#include <algorithm>

namespace hosted::term {

bool TextAfterKey(const std::string& text, DWORD selStart, DWORD selEnd, int key,
                  std::string* result) {
    std::size_t size = text.size();
    std::size_t begin = std::min<std::size_t>(std::min(selStart, selEnd), size);
    std::size_t end = std::min<std::size_t>(std::max(selStart, selEnd), size);
    if (key == kBackspace) {
        if (begin == end && begin > 0)
            --begin;
        *result = text.substr(0, begin) + text.substr(end);
        return true;
    }
    if (key < 0x20 || key > 0x7E)
        return false;
    *result = text.substr(0, begin) + static_cast<char>(key) + text.substr(end);
    return true;
}

bool TypeStepLine(int id, const std::string& text, std::string* line) {
    // The edit drops control characters and takes \b for Backspace, so no
    // line could type them back; a line end would also split the step. With
    // those gone, only a blank can put a "#" where a comment starts.
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    if (text.find(" #") != std::string::npos)
        return false;
    // In quotes, so that blanks at either end and an empty text survive.
    *line = "type " + std::to_string(id) + " \"" + text + "\"";
    return true;
}

} // namespace hosted::term
