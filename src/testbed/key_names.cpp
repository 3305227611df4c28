#include "testbed/key_names.h"

namespace {

const KeyName kKeyNames[] = {
    {"enter", VK_RETURN, false}, {"escape", VK_ESCAPE, false}, {"tab", VK_TAB, false},
    {"shift+tab", VK_TAB, true}, {"space", VK_SPACE, false},   {"up", VK_UP, false},
    {"down", VK_DOWN, false},    {"left", VK_LEFT, false},     {"right", VK_RIGHT, false},
    {"home", VK_HOME, false},    {"end", VK_END, false},       {"backspace", VK_BACK, false},
    {"delete", VK_DELETE, false}};

} // namespace

const char kKeyStepUsage[] =
    "expected 'key NAME' (enter, escape, tab, shift+tab, space, up, down, left, right, home, end, "
    "backspace, delete) or 'key C' for a printable character C";

const KeyName* FindKeyName(const std::string& word) {
    for (const KeyName& entry : kKeyNames)
        if (word == entry.name)
            return &entry;
    return nullptr;
}

char KeyCharacter(const std::string& word) {
    std::string character = word;
    if (character.size() == 3 && character.front() == '"' && character.back() == '"')
        character = character.substr(1, 1);
    if (character.size() == 1 && character[0] > ' ' && character[0] < 0x7F)
        return character[0];
    return 0;
}
