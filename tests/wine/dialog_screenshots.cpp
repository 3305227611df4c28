// Draws each dialog of the program with the real dialog manager and saves
// what the screen shows as dialog-ID.png in the folder given as argument.
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "window_capture.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK AcceptDefaults(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

void PumpFor(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog_screenshots FOLDER\n");
        return 2;
    }
    // The button dialog's spins are comctl32's.
    InitCommonControls();
    int failures = 0;
    for (int id : {IDD_BRISKARN_DIALOG, IDD_ABOUTBOX, IDD_BUTTONS_DIALOG}) {
        HWND dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                         AcceptDefaults, 0);
        if (!dialog) {
            std::fprintf(stderr, "dialog %d: not created (error %lu)\n", id, GetLastError());
            ++failures;
            continue;
        }
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        UpdateWindow(dialog);
        PumpFor(500);
        std::string path = std::string(argv[1]) + "\\dialog-" + std::to_string(id) + ".png";
        if (Capture(dialog, path)) {
            std::printf("wrote %s\n", path.c_str());
        } else {
            std::fprintf(stderr, "dialog %d: cannot write %s\n", id, path.c_str());
            ++failures;
        }
        DestroyWindow(dialog);
    }
    return failures == 0 ? 0 : 1;
}
