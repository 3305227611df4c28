// A message box, sized from its text and buttons as MessageBoxA sizes it
// from its font: no template gives it cells.
#include <algorithm>

#include "term/draw_parts.h"
#include "term/text_layout.h"

namespace hosted::term {
namespace {

const int kTextColumns = 50; // where a long message wraps
const int kMargin = 2;       // blank cells left and right of the contents
const int kIconCells = 5;    // "(!)" and the gap before the text
const int kButtonGap = 2;

struct BoxLayout {
    std::vector<std::string> lines;
    std::string icon; // empty: none
    std::vector<int> buttons;
    std::size_t defaultButton = 0;
    int buttonsWidth = 0; // the row of buttons, gaps included
    int width = 0, height = 0;
};

const char* ButtonLabel(int id) {
    switch (id) {
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return "OK";
    }
}

std::string IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONSTOP:
        return "(X)";
    case MB_ICONQUESTION:
        return "(?)";
    case MB_ICONEXCLAMATION:
        return "(!)";
    case MB_ICONINFORMATION:
        return "(i)";
    default:
        return "";
    }
}

BoxLayout LayoutOf(const WindowView& box) {
    BoxLayout layout;
    layout.lines = WrapText(box.text, kTextColumns);
    layout.icon = IconOf(box.boxType);
    layout.buttons = box.buttons;
    layout.defaultButton = (box.boxType & MB_DEFMASK) >> 8;
    // A default beyond the last button falls back to the first, as Windows does.
    if (layout.defaultButton >= layout.buttons.size())
        layout.defaultButton = 0;
    std::size_t longest = 0;
    for (const std::string& line : layout.lines)
        longest = std::max(longest, line.size());
    int textWidth = static_cast<int>(longest) + (layout.icon.empty() ? 0 : kIconCells);
    layout.buttonsWidth = -kButtonGap;
    for (int id : layout.buttons)
        layout.buttonsWidth +=
            static_cast<int>(FaceOf(ButtonLabel(id), false, false).text.size()) + kButtonGap;
    int captionWidth = static_cast<int>(box.caption.size()) + 2 + (box.hasSystemMenu ? 3 : 0);
    int inner =
        std::max({textWidth + 2 * kMargin, layout.buttonsWidth + 2 * kMargin, captionWidth + 1});
    layout.width = inner + 2;
    // Frame, a blank, the text, a blank, the buttons, frame.
    layout.height = static_cast<int>(layout.lines.size()) + 5;
    return layout;
}

} // namespace

void MessageBoxCells(const WindowView& box, int* width, int* height) {
    BoxLayout layout = LayoutOf(box);
    *width = layout.width;
    *height = layout.height;
}

void DrawMessageBox(Canvas& canvas, int left, int top, const WindowView& box, bool active,
                    std::vector<Hit>* hits) {
    BoxLayout layout = LayoutOf(box);
    DrawWindowFrame(canvas, left, top, layout.width, layout.height, box, active, hits);
    int textLeft = left + 1 + kMargin;
    if (!layout.icon.empty()) {
        canvas.Text(textLeft, top + 2, layout.icon, kBold);
        textLeft += kIconCells;
    }
    for (std::size_t i = 0; i < layout.lines.size(); ++i)
        canvas.Text(textLeft, top + 2 + static_cast<int>(i), layout.lines[i]);

    int x = left + 1 + (layout.width - 2 - layout.buttonsWidth) / 2;
    int row = top + layout.height - 2;
    for (std::size_t i = 0; i < layout.buttons.size(); ++i) {
        bool focused = i == layout.defaultButton;
        ButtonFace face = FaceOf(ButtonLabel(layout.buttons[i]), focused, false);
        int width = static_cast<int>(face.text.size());
        canvas.Text(x, row, face.text);
        if (focused)
            canvas.Text(x + face.labelAt, row, ButtonLabel(layout.buttons[i]), kReverse | kBold);
        if (hits)
            hits->push_back(Hit{Hit::BoxButton, layout.buttons[i], x, row, x + width - 1, row});
        x += width + kButtonGap;
    }
}

} // namespace hosted::term
