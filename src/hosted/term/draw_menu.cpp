// The system menu, dropped from the mark at the left of the caption.
#include <algorithm>

#include "term/draw.h"
#include "term/text_layout.h"

namespace hosted::term {

void DrawSystemMenu(Canvas& canvas, int x, int y, const WindowView& window,
                    const std::vector<MenuItemView>& items, int selected, std::vector<Hit>* hits) {
    if (hits)
        hits->clear();
    std::vector<std::string> labels, keys;
    std::size_t labelWidth = 0, keyWidth = 0;
    for (const MenuItemView& item : items) {
        std::size_t tab = item.text.find('\t');
        labels.push_back(StripMnemonics(item.text.substr(0, tab)));
        keys.push_back(tab == std::string::npos ? "" : item.text.substr(tab + 1));
        labelWidth = std::max(labelWidth, labels.back().size());
        keyWidth = std::max(keyWidth, keys.back().size());
    }
    int inner = static_cast<int>(labelWidth + (keyWidth ? keyWidth + 3 : 0)) + 2;
    int left = x + 1;
    // A minimised window's box is three rows high; the menu opens below it.
    int top = y + (window.iconic ? 3 : 1);
    int right = left + inner + 1, bottom = top + static_cast<int>(items.size()) + 1;
    canvas.Fill(left, top, right, bottom, ' ');
    canvas.Frame(left, top, right, bottom);
    for (std::size_t i = 0; i < items.size(); ++i) {
        int row = top + 1 + static_cast<int>(i);
        if (items[i].separator) {
            canvas.Fill(left + 1, row, right - 1, row, kHLine);
            continue;
        }
        unsigned char attr = static_cast<int>(i) == selected ? kReverse : kPlain;
        // A greyed entry is shown, dimmed, but cannot be clicked.
        if (items[i].grayed)
            attr |= kDim;
        canvas.Fill(left + 1, row, right - 1, row, ' ', attr);
        canvas.Text(left + 2, row, labels[i], attr);
        // The letter that chooses the entry, underlined as Windows shows it.
        std::size_t letter = MnemonicAt(items[i].text);
        if (letter < labels[i].size())
            canvas.Put(left + 2 + static_cast<int>(letter), row, labels[i][letter],
                       attr | kUnderline);
        canvas.Text(right - 1 - static_cast<int>(keys[i].size()), row, keys[i], attr);
        if (hits && !items[i].grayed)
            hits->push_back(
                Hit{Hit::MenuItem, static_cast<int>(items[i].id), left + 1, row, right - 1, row});
    }
}

} // namespace hosted::term
