// Draws each dialog of the program with the real dialog manager and saves
// what the screen shows as dialog-ID.png in the folder given as argument.
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "png_writer.h"
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

bool Capture(HWND window, const std::string& path) {
    RECT rect;
    GetWindowRect(window, &rect);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    int stride = (width * 3 + 3) & ~3;
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(stride) * height);
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bgr.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pixel = &bgr[static_cast<std::size_t>(y) * stride + x * 3];
            rgb.insert(rgb.end(), {pixel[2], pixel[1], pixel[0]});
        }
    return WritePng(path, width, height, rgb);
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
