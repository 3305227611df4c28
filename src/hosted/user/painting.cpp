// Painting: nothing is drawn on the simulated screen; a drawn icon is
// remembered on its window for the screen's view to show.
#include <cstdint>

#include "core/machine.h"
#include "user/window.h"

using namespace hosted;

// A paint context names its window: the handle's value, one past it (window
// handles are multiples of four).
HDC WINAPI BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    *paint = PAINTSTRUCT{};
    if (!GetClientRect(handle, &paint->rcPaint))
        return nullptr;
    paint->hdc = reinterpret_cast<HDC>(reinterpret_cast<std::uintptr_t>(handle) + 1);
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT*) {
    return TRUE;
}

BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon) {
    MachineLock lock = LockMachine();
    Window* window = LookupWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(dc) - 1));
    if (!window || !icon) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    window->drawnIcon = icon;
    window->drawnAt = POINT{x, y};
    return TRUE;
}
