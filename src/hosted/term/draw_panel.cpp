// The simulated wheel beside the windows: what the scenario keys change.
#include <algorithm>
#include <cstdio>

#include "term/draw.h"

namespace hosted::term {
namespace {

const int kBarCells = 18; // between the brackets of an axis's bar

std::string AxisRow(char name, DWORD value) {
    DWORD clamped = value > 65535 ? 65535 : value;
    int filled = static_cast<int>((clamped * kBarCells + 32767) / 65535);
    char number[8];
    std::snprintf(number, sizeof number, "%5u", static_cast<unsigned>(clamped));
    return std::string(1, name) + " [" + std::string(filled, '#') +
           std::string(kBarCells - filled, '.') + "] " + number;
}

std::string HatText(DWORD hat) {
    // DirectInput's own test for a centred hat looks at the low word only.
    if ((hat & 0xFFFF) == 0xFFFF)
        return "Hat centred";
    static const char* const kDirections[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
    if (hat % 4500 == 0 && hat < 36000)
        return std::string("Hat ") + kDirections[hat / 4500];
    char degrees[32];
    std::snprintf(degrees, sizeof degrees, "Hat %u.%02u deg", static_cast<unsigned>(hat / 100),
                  static_cast<unsigned>(hat % 100));
    return degrees;
}

class Panel {
  public:
    Panel(Canvas* canvas, int x, int y) : m_canvas(canvas), m_x(x), m_y(y) {}
    void Line(const std::string& text, unsigned char attr = kPlain) {
        if (m_canvas) {
            m_canvas->Fill(m_x, m_y + m_row, m_x + kPanelWidth - 1, m_y + m_row, ' ');
            m_canvas->Text(m_x, m_y + m_row, text, attr, kPanelWidth);
        }
        ++m_row;
    }
    // Up to ten buttons, five to a row; a pressed one reversed and
    // bracketed, so a capture without attributes shows it too.
    void Buttons(const bool (&pressed)[10], int count) {
        count = std::min(count, 10);
        for (int first = 0; first < count; first += 5) {
            Line("");
            for (int i = first; i < first + 5 && i < count && m_canvas; ++i) {
                std::string number = std::to_string(i + 1);
                std::string slot = pressed[i] ? "[" + number + "]" : " " + number + " ";
                m_canvas->Text(m_x + (i - first) * 5, m_y + m_row - 1, slot,
                               pressed[i] ? kReverse : kPlain);
            }
        }
    }
    int Rows() const { return m_row; }

  private:
    Canvas* m_canvas;
    int m_x, m_y, m_row = 0;
};

int Lay(Canvas* canvas, int x, int y, const WheelPanelState& state) {
    Panel panel(canvas, x, y);
    if (!state.present) {
        panel.Line("no wheel", kBold);
    } else {
        panel.Line(state.name, kBold);
        panel.Line(state.polled ? "polled" : "interrupt");
        panel.Line("");
        panel.Line(AxisRow('X', state.x));
        panel.Line(AxisRow('Y', state.y));
        panel.Line("");
        panel.Buttons(state.buttons, state.buttonCount);
        if (state.buttonCount <= 0)
            panel.Line("no buttons");
        panel.Line("");
        panel.Line(state.hatCount > 0 ? HatText(state.hat) : "no hat");
        panel.Line(state.autopilot ? "Autopilot on" : "Autopilot off");
    }
    return panel.Rows();
}

} // namespace

void DrawWheelPanel(Canvas& canvas, int x, int y, const WheelPanelState& state) {
    Lay(&canvas, x, y, state);
}

int WheelPanelRows(const WheelPanelState& state) {
    return Lay(nullptr, 0, 0, state);
}

} // namespace hosted::term
