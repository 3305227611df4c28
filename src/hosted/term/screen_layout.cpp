#include "term/screen_layout.h"

#include <algorithm>

#include "core/format.h"

namespace hosted::term {
namespace {

// The panels one under the other from (x, y) down to row `bottom`
// (exclusive); the log takes what is left, `logWidth` cells wide.
void DrawPanelColumn(Canvas& canvas, int x, int y, int bottom, int logWidth,
                     const ScreenParts& parts) {
    DrawWheelPanel(canvas, x, y, parts.wheel);
    y += WheelPanelRows(parts.wheel) + 1;
    y += DrawDriverPanel(canvas, x, y, parts.driver) + 1;
    if (y >= bottom)
        return;
    canvas.Text(x, y, "Log", kBold);
    DrawLogLines(canvas, x, y + 1, logWidth, bottom - y - 1, parts.log);
}

// The panels in place of the windows: the wheel's and the driver's side by
// side, the log across the screen below them.
void DrawUnfoldedPanels(Canvas& canvas, int bottom, const ScreenParts& parts) {
    DrawWheelPanel(canvas, 0, 0, parts.wheel);
    int rows = std::max(WheelPanelRows(parts.wheel),
                        DrawDriverPanel(canvas, kPanelWidth + 2, 0, parts.driver));
    canvas.Text(0, rows + 1, "Log", kBold);
    DrawLogLines(canvas, 0, rows + 2, canvas.Width(), bottom - rows - 2, parts.log);
}

void DrawHelp(Canvas& canvas, int bottom, const RunFiles& files) {
    std::vector<std::string> lines = HelpLines(files, canvas.Width() - 4);
    int width = 0;
    for (const std::string& line : lines)
        width = std::max(width, static_cast<int>(line.size()));
    width = std::min(width + 4, canvas.Width());
    int height = std::min(static_cast<int>(lines.size()) + 2, bottom);
    int left = (canvas.Width() - width) / 2, top = (bottom - height) / 2;
    canvas.Fill(left, top, left + width - 1, top + height - 1, ' ');
    canvas.Frame(left, top, left + width - 1, top + height - 1);
    canvas.Text(left + 2, top, " Help ", kBold);
    for (int i = 0; i + 2 < height; ++i)
        canvas.Text(left + 2, top + 1 + i, lines[i], kPlain, width - 4);
}

std::string BottomLine(const ScreenParts& parts, const ScreenLayout& layout) {
    if (!parts.refused.empty())
        return "Refused: " + parts.refused;
    if (parts.help)
        return "Any key closes the help.";
    if (!layout.windowsShown)
        return "The window is folded away: F11 shows it, the wheel's keys still act.";
    // Escape on the main window is its Cancel, which ends BRISKARN.
    bool quits = parts.windows.size() == 1 && !parts.windows[0].iconic && !parts.menuOpen;
    return StatusHint(quits, layout.folded);
}

} // namespace

Canvas ComposeScreen(int width, int height, const ScreenParts& parts, ScreenLayout* layout) {
    Canvas canvas(width, height);
    *layout = ScreenLayout{};
    if (width < kScreenMinWidth || height < kScreenMinHeight) {
        layout->tooSmall = true;
        std::string lines[] = {
            Format("BRISKARN needs a terminal of at least %d x %d;", kScreenMinWidth,
                   kScreenMinHeight),
            Format("this one is %d x %d. Make it larger, or press Ctrl-C to quit.", width, height)};
        for (int i = 0; i < 2; ++i)
            canvas.Text(0, height / 2 - 1 + i, lines[i]);
        return canvas;
    }
    int bottom = height - 1; // the bottom line is the status line's
    int dialogWidth = 0, dialogHeight = 0;
    if (!parts.windows.empty())
        WindowCells(parts.windows.front(), &dialogWidth, &dialogHeight);
    layout->folded = dialogWidth + 1 + kPanelWidth > width || dialogHeight > bottom;
    std::vector<WindowView> windows = parts.windows;
    if (layout->folded)
        for (WindowView& window : windows)
            window = FitWindow(window, width, bottom);
    layout->windowsShown = !(layout->folded && parts.panelsUnfolded);
    if (!layout->windowsShown) {
        DrawUnfoldedPanels(canvas, bottom, parts);
    } else {
        DrawWindows(canvas, 0, 0, windows, &layout->hits);
        if (parts.menuOpen && !windows.empty()) {
            int left = 0, top = 0;
            WindowOrigin(0, 0, windows, windows.size() - 1, &left, &top);
            DrawSystemMenu(canvas, left, top, windows.back(), parts.menu, parts.menuSelected,
                           &layout->menuHits);
        }
        if (!layout->folded)
            DrawPanelColumn(canvas, dialogWidth + 1, 0, bottom, width - dialogWidth - 1, parts);
    }
    if (parts.help) {
        DrawHelp(canvas, bottom, parts.files);
        layout->hits.clear();
        layout->menuHits.clear();
    }
    bool hint = parts.refused.empty();
    canvas.Text(0, height - 1, BottomLine(parts, *layout), hint ? kDim : kBold);
    return canvas;
}

} // namespace hosted::term
