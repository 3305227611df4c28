// A grid of character cells that the terminal front end draws into and then
// copies to the terminal; tests read it back as text.
#pragma once

#include <string>
#include <vector>

namespace hosted::term {

// What a cell looks like besides its character; bits to combine.
enum CellAttr : unsigned char {
    kPlain = 0,
    kReverse = 1, // the focused control, a pressed button, a selection
    kDim = 2,     // disabled
    kBold = 4,
    kUnderline = 8, // an edit's field
};

// Line-drawing characters are stored as these bytes; the terminal shows them
// with its line set, Row() as '-', '|' and '+'.
enum LineChar : char {
    kHLine = '\x01',
    kVLine = '\x02',
    kTopLeft = '\x03',
    kTopRight = '\x04',
    kBottomLeft = '\x05',
    kBottomRight = '\x06',
};

struct Cell {
    char ch = ' ';
    unsigned char attr = kPlain;
    bool operator==(const Cell& other) const { return ch == other.ch && attr == other.attr; }
};

class Canvas {
  public:
    Canvas(int width, int height);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    void Clear();
    // Anything outside the grid is left out.
    void Put(int x, int y, char ch, unsigned char attr = kPlain);
    // At most maxWidth cells of text from (x, y); -1 runs to the grid's edge.
    void Text(int x, int y, const std::string& text, unsigned char attr = kPlain,
              int maxWidth = -1);
    void Fill(int left, int top, int right, int bottom, char ch, unsigned char attr = kPlain);
    // A frame of line characters on the cells of the rectangle's edge
    // (right and bottom inclusive).
    void Frame(int left, int top, int right, int bottom, unsigned char attr = kPlain);
    const Cell& At(int x, int y) const;
    // Row y as plain text, line characters as '-', '|', '+', trailing blanks cut.
    std::string Row(int y) const;
    // Every row, each ended by '\n'.
    std::string Text() const;
    bool operator==(const Canvas& other) const {
        return m_width == other.m_width && m_height == other.m_height && m_cells == other.m_cells;
    }

  private:
    int m_width, m_height;
    std::vector<Cell> m_cells;
};

} // namespace hosted::term
