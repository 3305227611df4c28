// The cell grid behind the terminal view.
#include "term/canvas.h"

#include <algorithm>

namespace hosted::term {
namespace {

char PlainOf(char ch) {
    switch (ch) {
    case kHLine:
        return '-';
    case kVLine:
        return '|';
    case kTopLeft:
    case kTopRight:
    case kBottomLeft:
    case kBottomRight:
        return '+';
    default:
        return ch;
    }
}

} // namespace

Canvas::Canvas(int width, int height)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)),
      m_cells(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height)) {}

void Canvas::Clear() {
    std::fill(m_cells.begin(), m_cells.end(), Cell{});
}

void Canvas::Put(int x, int y, char ch, unsigned char attr) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    m_cells[static_cast<std::size_t>(y) * m_width + x] = Cell{ch, attr};
}

void Canvas::Text(int x, int y, const std::string& text, unsigned char attr, int maxWidth) {
    int count = static_cast<int>(text.size());
    if (maxWidth >= 0)
        count = std::min(count, maxWidth);
    for (int i = 0; i < count; ++i)
        Put(x + i, y, text[i], attr);
}

void Canvas::Fill(int left, int top, int right, int bottom, char ch, unsigned char attr) {
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x)
            Put(x, y, ch, attr);
}

void Canvas::Frame(int left, int top, int right, int bottom, unsigned char attr) {
    if (right < left || bottom < top)
        return;
    for (int x = left + 1; x < right; ++x) {
        Put(x, top, kHLine, attr);
        Put(x, bottom, kHLine, attr);
    }
    for (int y = top + 1; y < bottom; ++y) {
        Put(left, y, kVLine, attr);
        Put(right, y, kVLine, attr);
    }
    Put(left, top, kTopLeft, attr);
    Put(right, top, kTopRight, attr);
    Put(left, bottom, kBottomLeft, attr);
    Put(right, bottom, kBottomRight, attr);
}

const Cell& Canvas::At(int x, int y) const {
    // Outside the grid reads as an empty cell, as Put leaves it out.
    static const Cell kOutside;
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return kOutside;
    return m_cells[static_cast<std::size_t>(y) * m_width + x];
}

std::string Canvas::Row(int y) const {
    std::string row;
    for (int x = 0; x < m_width; ++x)
        row += PlainOf(At(x, y).ch);
    row.erase(row.find_last_not_of(' ') + 1);
    return row;
}

std::string Canvas::Text() const {
    std::string text;
    for (int y = 0; y < m_height; ++y)
        text += Row(y) + '\n';
    return text;
}

} // namespace hosted::term
