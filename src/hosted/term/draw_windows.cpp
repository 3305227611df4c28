// The stack of windows: frames and captions, where each one goes, and a
// minimised window as its icon.
#include <algorithm>

#include "term/draw_parts.h"

namespace hosted::term {
namespace {

const char kSystemMenuMark[] = "[-]";

int Rounded(long pixels, int cellPixels) {
    return static_cast<int>((pixels + cellPixels / 2) / cellPixels);
}

void DialogClientCells(const WindowView& window, int* cols, int* rows) {
    int unitX = window.baseUnitX > 0 ? window.baseUnitX : kDefaultCellPixelsX;
    int unitY = window.baseUnitY > 0 ? window.baseUnitY : kDefaultCellPixelsY;
    *cols = std::max(1, Rounded(window.rect.right - window.rect.left, unitX));
    *rows = std::max(1, Rounded(window.rect.bottom - window.rect.top, unitY));
}

// What a minimised window leaves on screen: the icon the program painted
// into it, an empty one when it painted none, and its caption.
void DrawIconic(Canvas& canvas, int left, int top, const WindowView& window, bool active,
                std::vector<Hit>* hits) {
    std::string label = std::string(window.drawnIcon ? "(B)" : "( )") + " " + window.caption;
    int right = left + static_cast<int>(label.size()) + 3;
    canvas.Fill(left, top, right, top + 2, ' ');
    canvas.Frame(left, top, right, top + 2);
    canvas.Text(left + 2, top + 1, label, active ? kBold : kPlain);
    // A click on a minimised window opens its system menu, as on Windows.
    if (hits)
        hits->push_back(Hit{Hit::SystemMenuMark, 0, left, top, right, top + 2});
}

} // namespace

void DrawWindowFrame(Canvas& canvas, int left, int top, int width, int height,
                     const WindowView& window, bool active, std::vector<Hit>* hits) {
    int right = left + width - 1, bottom = top + height - 1;
    canvas.Fill(left, top, right, bottom, ' ');
    canvas.Frame(left, top, right, bottom);
    int x = left + 1;
    if (window.hasSystemMenu) {
        canvas.Text(x, top, kSystemMenuMark, kPlain, right - x);
        if (hits)
            hits->push_back(Hit{Hit::SystemMenuMark, 0, x, top, x + 2, top});
        x += 3;
    }
    if (!window.caption.empty())
        canvas.Text(x, top, " " + window.caption + " ", active ? kBold : kPlain, right - x);
}

void WindowCells(const WindowView& window, int* width, int* height) {
    if (window.messageBox) {
        MessageBoxCells(window, width, height);
        return;
    }
    int cols = 0, rows = 0;
    DialogClientCells(window, &cols, &rows);
    *width = cols + 2;
    *height = rows + 2;
}

namespace {

// Pixels `value` taken `num` / `den` as close, rounded to the nearest.
LONG Scaled(LONG value, long num, long den) {
    return static_cast<LONG>((static_cast<long long>(value) * num + den / 2) / den);
}

} // namespace

WindowView FitWindow(const WindowView& window, int width, int height) {
    if (window.messageBox || window.iconic)
        return window;
    int unitX = window.baseUnitX > 0 ? window.baseUnitX : kDefaultCellPixelsX;
    int unitY = window.baseUnitY > 0 ? window.baseUnitY : kDefaultCellPixelsY;
    // The client area's pixels, and what fits once the frame has its cells.
    long pixelsX = window.rect.right - window.rect.left;
    long pixelsY = window.rect.bottom - window.rect.top;
    long fitX = std::min<long>(pixelsX, static_cast<long>(std::max(1, width - 2)) * unitX);
    long fitY = std::min<long>(pixelsY, static_cast<long>(std::max(1, height - 2)) * unitY);
    if (fitX == pixelsX && fitY == pixelsY)
        return window;
    WindowView fitted = window;
    fitted.rect.right = fitted.rect.left + static_cast<LONG>(fitX);
    fitted.rect.bottom = fitted.rect.top + static_cast<LONG>(fitY);
    for (ControlView& control : fitted.controls) {
        control.rect.left = Scaled(control.rect.left, fitX, pixelsX);
        control.rect.right = Scaled(control.rect.right, fitX, pixelsX);
        control.rect.top = Scaled(control.rect.top, fitY, pixelsY);
        control.rect.bottom = Scaled(control.rect.bottom, fitY, pixelsY);
    }
    return fitted;
}

void WindowOrigin(int x, int y, const std::vector<WindowView>& windows, std::size_t index,
                  int* left, int* top) {
    *left = x;
    *top = y;
    if (index == 0 || index >= windows.size() || windows[index].iconic)
        return;
    int firstWidth = 0, firstHeight = 0, width = 0, height = 0;
    WindowCells(windows[0], &firstWidth, &firstHeight);
    WindowCells(windows[index], &width, &height);
    *left = std::max(0, x + (firstWidth - width) / 2);
    *top = std::max(0, y + (firstHeight - height) / 2);
}

void DrawWindows(Canvas& canvas, int x, int y, const std::vector<WindowView>& windows,
                 std::vector<Hit>* hits) {
    if (hits)
        hits->clear();
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const WindowView& window = windows[i];
        bool last = i + 1 == windows.size();
        std::vector<Hit>* windowHits = last ? hits : nullptr;
        int left = 0, top = 0;
        WindowOrigin(x, y, windows, i, &left, &top);
        if (window.iconic) {
            DrawIconic(canvas, left, top, window, last, windowHits);
        } else if (window.messageBox) {
            DrawMessageBox(canvas, left, top, window, last, windowHits);
        } else {
            int cols = 0, rows = 0;
            DialogClientCells(window, &cols, &rows);
            DrawWindowFrame(canvas, left, top, cols + 2, rows + 2, window, last, windowHits);
            DrawControls(canvas, left + 1, top + 1, cols, rows, window, windowHits);
        }
    }
}

} // namespace hosted::term
