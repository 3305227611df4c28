// What the companion driver receives, beside the windows: the dialog shows
// only counts, so the last report is decoded here as the game would read it.
#include <string>

#include "core/format.h"
#include "term/draw.h"
#include "term/text_layout.h"

namespace hosted::term {
namespace {

// A name at the left and its value at the right of the panel's width.
std::string Pair(const std::string& name, const std::string& value) {
    int gap = kPanelWidth - static_cast<int>(name.size() + value.size());
    return name + std::string(gap > 1 ? gap : 1, ' ') + value;
}

// The game reads a button as pressed when its bit is clear, as a game port
// reports it; each shown as the wheel's panel shows its own buttons.
void DrawReportButtons(Canvas& canvas, int x, int y, DWORD buttons) {
    static const char* const kNames[] = {"A1", "A2", "B1", "B2"};
    canvas.Text(x, y, "Buttons");
    for (int i = 0; i < 4; ++i) {
        bool pressed = (buttons & (0x10u << i)) == 0;
        std::string slot =
            pressed ? std::string("[") + kNames[i] + "]" : std::string(" ") + kNames[i] + " ";
        canvas.Text(x + 8 + 4 * i, y, slot, pressed ? kReverse : kPlain);
    }
}

} // namespace

int DrawDriverPanel(Canvas& canvas, int x, int y, const DriverPanelState& state) {
    canvas.Fill(x, y, x + kPanelWidth - 1, y, ' ');
    if (!state.present) {
        canvas.Text(x, y,
                    Format("Driver absent (error %u)", static_cast<unsigned>(state.openError)),
                    kBold, kPanelWidth);
        return 1;
    }
    std::string lines[] = {
        "Driver present",
        Pair("GameMax", Format("%u", static_cast<unsigned>(state.gameMax))),
        Pair("Callbacks", Format("%u", static_cast<unsigned>(state.callbacks))),
        Pair("Reports received", Format("%llu", static_cast<unsigned long long>(state.reports))),
        Pair("Reports per second", Format("%d", state.reportsPerSecond)),
        Pair("Last report", state.haveReport ? Format("X %3ld  Y %3ld", state.axisX, state.axisY)
                                             : std::string("none yet")),
    };
    int row = 0;
    for (const std::string& line : lines) {
        canvas.Fill(x, y + row, x + kPanelWidth - 1, y + row, ' ');
        canvas.Text(x, y + row, line, row == 0 ? kBold : kPlain, kPanelWidth);
        ++row;
    }
    canvas.Fill(x, y + row, x + kPanelWidth - 1, y + row, ' ');
    if (state.haveReport)
        DrawReportButtons(canvas, x, y + row, state.buttons);
    return row + 1;
}

void DrawLogLines(Canvas& canvas, int x, int y, int width, int rows,
                  const std::vector<std::string>& entries) {
    std::vector<std::string> shown;
    for (const std::string& entry : entries)
        for (const std::string& line : WrapText(ShortLogEntry(entry), width))
            shown.push_back(line);
    std::size_t first = shown.size() > static_cast<std::size_t>(rows) ? shown.size() - rows : 0;
    for (int row = 0; row < rows; ++row) {
        canvas.Fill(x, y + row, x + width - 1, y + row, ' ');
        if (first + row < shown.size())
            canvas.Text(x, y + row, shown[first + row], kPlain, width);
    }
}

} // namespace hosted::term
