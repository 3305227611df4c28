#include "testbed/dinput_answers.h"

bool DeviceCooperationValid(HWND window, DWORD flags) {
    bool oneMode = !(flags & DISCL_EXCLUSIVE) != !(flags & DISCL_NONEXCLUSIVE);
    bool oneScope = !(flags & DISCL_FOREGROUND) != !(flags & DISCL_BACKGROUND);
    return oneMode && oneScope && window;
}
