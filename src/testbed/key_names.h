// The keys a scenario's `key` step names, for the simulated machine and the
// runner under Wine alike, so that both press the same key for one word.
#pragma once

#include <string>

#include <windows.h>

struct KeyName {
    const char* name;
    WPARAM key;
    bool shift;
};

// The key that `word` names, or nullptr.
const KeyName* FindKeyName(const std::string& word);

// The printable character of `key C` (a "#" comes in double quotes, as it
// would start a comment; a blank is `space`), or 0 when `word` is none.
char KeyCharacter(const std::string& word);

// What the step expects, for its error message.
extern const char kKeyStepUsage[];
