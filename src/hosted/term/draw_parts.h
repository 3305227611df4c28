// What the files of the window drawing share: each kind of window drawn
// at a given frame corner, with the hits of the window that takes input.
#pragma once

#include <string>
#include <vector>

#include "term/canvas.h"
#include "term/draw.h"
#include "user/screen.h"

namespace hosted::term {

// Pixels of a cell when a view gives no base units.
constexpr int kDefaultCellPixelsX = 6, kDefaultCellPixelsY = 13;

// The frame, the caption row with its system-menu mark, and a blank inside
// that covers whatever lies below. `hits` null: the window takes no input.
void DrawWindowFrame(Canvas& canvas, int left, int top, int width, int height,
                     const WindowView& window, bool active, std::vector<Hit>* hits);

// A dialog's controls in its client area of cols x rows cells at (left, top).
void DrawControls(Canvas& canvas, int left, int top, int cols, int rows, const WindowView& window,
                  std::vector<Hit>* hits);

void MessageBoxCells(const WindowView& box, int* width, int* height);
void DrawMessageBox(Canvas& canvas, int left, int top, const WindowView& box, bool active,
                    std::vector<Hit>* hits);

// A push button's face, "[ Text ]", with the marks a plain text capture
// shows: "[>Text<]" focused, "[*Text*]" pressed.
struct ButtonFace {
    std::string text;
    int labelAt = 0, labelLength = 0; // the label's cells within text
};
ButtonFace FaceOf(const std::string& label, bool focused, bool pressed);

} // namespace hosted::term
