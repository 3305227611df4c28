// A dialog's controls on the cells of its client area. A cell is one base
// unit across and down; the rounding below keeps the texts that a template
// lines up on one row and the neighbours it puts side by side apart.
#include <algorithm>

#include "term/draw_parts.h"
#include "term/text_layout.h"

namespace hosted::term {

ButtonFace FaceOf(const std::string& label, bool focused, bool pressed) {
    std::string inner = focused ? ">" + label + "<" : pressed ? label : " " + label + " ";
    if (pressed)
        inner = "*" + inner + "*";
    ButtonFace face;
    face.text = "[" + inner + "]";
    face.labelAt = focused && pressed ? 3 : 2;
    face.labelLength = static_cast<int>(label.size());
    return face;
}

namespace {

struct Place {
    const ControlView* control = nullptr;
    int left = 0, right = 0, top = 0, bottom = 0; // cells, right and bottom exclusive
    int textRow = 0;
};

bool IsButton(const ControlView& control, ButtonLook look) {
    return control.kind == WindowKind::Button && ButtonLookOf(control.style) == look;
}

bool IsGroupBox(const ControlView& control) {
    return IsButton(control, ButtonLook::GroupBox);
}

bool TopAligned(const ControlView& control) {
    return control.kind == WindowKind::Static || IsGroupBox(control) ||
           control.kind == WindowKind::Other;
}

bool Labelled(const ControlView& control) {
    return control.kind != WindowKind::Edit && control.kind != WindowKind::UpDown &&
           !ShowsIcon(control);
}

Place PlaceOf(const ControlView& control, int unitX, int unitY) {
    const RECT& r = control.rect;
    Place place;
    place.control = &control;
    // An edge moves on to the next column only from two thirds of a cell:
    // a label's text, wider in a terminal than in the dialog's font, then
    // keeps clear of the edit that the template puts close after it.
    place.left = CellOf(r.left, unitX, -unitX / 3);
    place.right = std::max(place.left + 1, CellOf(r.right, unitX, -unitX / 3));
    // A label sits a dialog unit or two below its edit or check box so that
    // the texts line up on screen; a line of text goes to the row its top
    // falls in, the same few pixels early for all, and texts of buttons and
    // edits are centred in their height as Windows draws them.
    int slack = unitY / 6;
    int rows = std::max(1, static_cast<int>((r.bottom - r.top + unitY / 2) / unitY));
    if (control.kind == WindowKind::UpDown)
        rows = std::max(rows, 2);
    if (TopAligned(control)) {
        place.textRow = CellOf(r.top, unitY, slack);
        place.top = place.textRow;
    } else {
        place.textRow = CellOf(r.top + r.bottom - unitY, 2 * unitY, 2 * slack);
        place.top = place.textRow - (rows - 1) / 2;
    }
    place.bottom = place.top + rows;
    // Arrows that overlap their buddy's border take the one column of their middle.
    if (control.kind == WindowKind::UpDown) {
        place.left = CellOf((r.left + r.right) / 2, unitX, 0);
        place.right = place.left + 1;
    }
    return place;
}

// The text a control shows, its mnemonic marks gone where it has a label.
std::string LabelOf(const ControlView& c) {
    bool noPrefix = c.kind == WindowKind::Static && (c.style & SS_NOPREFIX);
    return Labelled(c) && !noPrefix ? StripMnemonics(c.text) : c.text;
}

// The column after the last cell of a one-line label's text when nothing
// stops it; its own right edge for every other control.
int DrawnEnd(const Place& p) {
    const ControlView& c = *p.control;
    int length = static_cast<int>(LabelOf(c).size());
    bool oneLine = c.text.find('\n') == std::string::npos;
    if (c.kind == WindowKind::Static && !ShowsIcon(c) && oneLine)
        return std::max(p.right, p.left + length);
    bool check = IsButton(c, ButtonLook::CheckBox) && !(c.style & BS_PUSHLIKE);
    if (check || IsButton(c, ButtonLook::Radio))
        return std::max(p.right, p.left + 4 + length);
    return p.right;
}

// Two controls that the template keeps apart stay apart on screen: where a
// label's text, wider in a terminal's letters, would end right where the
// edit after it starts, the edit's field starts a cell later. A longer text
// wraps or is cut before the edit instead.
void KeepGaps(std::vector<Place>& places) {
    for (const Place& a : places)
        for (Place& b : places) {
            if (b.control->kind != WindowKind::Edit || &a == &b)
                continue;
            bool sameRow = a.textRow >= b.top && a.textRow < b.bottom;
            bool apart = a.control->rect.right < b.control->rect.left && a.left < b.left;
            int end = DrawnEnd(a);
            if (sameRow && apart && end == b.left && b.right - b.left > 2)
                b.left = end + 1;
        }
}

// Draws into the client area only, and tells how far right a row's text may run.
class Client {
  public:
    Client(Canvas& canvas, int left, int top, int cols, int rows, const std::vector<Place>& places)
        : m_canvas(canvas), m_left(left), m_top(top), m_cols(cols), m_rows(rows),
          m_owner(static_cast<std::size_t>(cols) * rows, -1) {
        for (std::size_t i = 0; i < places.size(); ++i) {
            const Place& p = places[i];
            bool group = IsGroupBox(*p.control);
            for (int y = p.top; y < p.bottom; ++y)
                for (int x = p.left; x < p.right; ++x)
                    if (!group || y == p.top || y == p.bottom - 1 || x == p.left ||
                        x == p.right - 1)
                        Own(x, y, static_cast<int>(i));
        }
    }

    void Put(int x, int y, char ch, unsigned char attr) {
        if (x >= 0 && y >= 0 && x < m_cols && y < m_rows)
            m_canvas.Put(m_left + x, m_top + y, ch, attr);
    }
    void Text(int x, int y, const std::string& text, unsigned char attr, int maxWidth) {
        for (int i = 0; i < static_cast<int>(text.size()) && i < maxWidth; ++i)
            Put(x + i, y, text[i], attr);
    }
    // Cells from the control's left edge that its one-row text may take: its
    // own, then those to its right that no other control takes, since a
    // terminal's letters are wider than most of a proportional font's.
    int RoomOnRow(const Place& place, int self, int row) const {
        int x = place.right;
        while (x < m_cols && (OwnerAt(x, row) == -1 || OwnerAt(x, row) == self))
            ++x;
        return x - place.left;
    }
    // Whether cells [left, right) of a row are there and taken by no other control.
    bool FreeRow(int left, int right, int row, int self) const {
        if (row >= m_rows)
            return false;
        for (int x = left; x < right; ++x)
            if (OwnerAt(x, row) != -1 && OwnerAt(x, row) != self)
                return false;
        return true;
    }
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Cols() const { return m_cols; }
    int Rows() const { return m_rows; }

  private:
    void Own(int x, int y, int index) {
        if (x >= 0 && y >= 0 && x < m_cols && y < m_rows)
            m_owner[static_cast<std::size_t>(y) * m_cols + x] = index;
    }
    int OwnerAt(int x, int y) const {
        if (x < 0 || y < 0 || x >= m_cols || y >= m_rows)
            return -1;
        return m_owner[static_cast<std::size_t>(y) * m_cols + x];
    }

    Canvas& m_canvas;
    int m_left, m_top, m_cols, m_rows;
    std::vector<int> m_owner;
};

// Returns the column after the last cell drawn.
int DrawPushButton(Client& client, const Place& p, int self, const std::string& label, bool pressed,
                   unsigned char attr) {
    const ControlView& c = *p.control;
    // A face wider than the button (its marks take cells a window's frame
    // would not) may run on into free cells, as a label does.
    int width = std::max(p.right - p.left,
                         std::min(client.RoomOnRow(p, self, p.textRow),
                                  static_cast<int>(FaceOf(label, c.focused, pressed).text.size())));
    ButtonFace face = FaceOf(label, c.focused, pressed);
    int marks = static_cast<int>(face.text.size()) - face.labelLength;
    if (static_cast<int>(face.text.size()) > width && width > marks)
        face = FaceOf(label.substr(0, width - marks), c.focused, pressed);
    if ((c.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
        attr |= kBold;
    if (pressed)
        attr |= kReverse;
    int x = p.left + std::max(0, (width - static_cast<int>(face.text.size())) / 2);
    for (int i = 0; i < static_cast<int>(face.text.size()); ++i) {
        bool inLabel = i >= face.labelAt && i < face.labelAt + face.labelLength;
        client.Put(x + i, p.textRow, face.text[i],
                   attr | (c.focused && inLabel ? kReverse : kPlain));
    }
    return x + static_cast<int>(face.text.size());
}

int DrawCheck(Client& client, const Place& p, int self, const std::string& label,
              unsigned char attr) {
    const ControlView& c = *p.control;
    std::string box = IsButton(c, ButtonLook::Radio) ? (c.check ? "(*)" : "( )")
                      : c.check == BST_CHECKED       ? "[x]"
                      : c.check != 0                 ? "[-]"
                                                     : "[ ]";
    std::string text = box + (c.focused ? ">" : " ") + label + (c.focused ? "<" : "");
    int room = client.RoomOnRow(p, self, p.textRow);
    client.Text(p.left, p.textRow, text, attr, room);
    if (c.focused)
        client.Text(p.left + 4, p.textRow, label, attr | kReverse, room - 4);
    return p.left + std::min(room, static_cast<int>(text.size()));
}

void DrawGroupBox(Client& client, const Place& p, const std::string& label, unsigned char attr) {
    int right = p.right - 1, bottom = p.bottom - 1;
    for (int x = p.left + 1; x < right; ++x) {
        client.Put(x, p.top, kHLine, attr);
        client.Put(x, bottom, kHLine, attr);
    }
    for (int y = p.top + 1; y < bottom; ++y) {
        client.Put(p.left, y, kVLine, attr);
        client.Put(right, y, kVLine, attr);
    }
    client.Put(p.left, p.top, kTopLeft, attr);
    client.Put(right, p.top, kTopRight, attr);
    client.Put(p.left, bottom, kBottomLeft, attr);
    client.Put(right, bottom, kBottomRight, attr);
    if (!label.empty())
        client.Text(p.left + 2, p.top, " " + label + " ", attr, right - p.left - 3);
}

void DrawEdit(Client& client, const Place& p, unsigned char attr) {
    const ControlView& c = *p.control;
    int width = p.right - p.left;
    int caret = static_cast<int>(c.selEnd);
    int from = c.focused && caret >= width ? caret - width + 1 : 0;
    int selFrom = static_cast<int>(std::min(c.selStart, c.selEnd));
    int selTo = static_cast<int>(std::max(c.selStart, c.selEnd));
    for (int i = 0; i < width; ++i) {
        int at = from + i;
        char ch = at < static_cast<int>(c.text.size()) ? c.text[at] : '_';
        bool selected = selFrom == selTo ? at == caret : at >= selFrom && at < selTo;
        // The field's end points at the focused edit where a capture loses the reverse.
        if (c.focused && i == width - 1 && width > 1)
            ch = '<';
        client.Put(p.left + i, p.textRow, ch,
                   attr | kUnderline | (c.focused && selected ? kReverse : kPlain));
    }
}

int DrawStatic(Client& client, const Place& p, int self, const std::string& label,
               unsigned char attr) {
    int width = p.right - p.left;
    int room = client.RoomOnRow(p, self, p.textRow);
    int rows = p.bottom - p.top;
    std::vector<std::string> lines;
    if (label.find('\n') == std::string::npos && static_cast<int>(label.size()) <= room)
        lines.push_back(label);
    else
        lines = WrapText(label, rows == 1 ? room : width);
    // What a terminal's wider letters push out of the rect goes on to the
    // rows below while nothing else is there.
    int wrapWidth = rows == 1 ? room : width;
    while (rows < static_cast<int>(lines.size()) &&
           client.FreeRow(p.left, p.left + wrapWidth, p.textRow + rows, self))
        ++rows;
    DWORD align = p.control->style & SS_TYPEMASK;
    int end = p.left;
    for (int i = 0; i < static_cast<int>(lines.size()) && i < rows; ++i) {
        int length = static_cast<int>(lines[i].size());
        int x = p.left;
        if (length <= width && align == SS_CENTER)
            x += (width - length) / 2;
        else if (length <= width && align == SS_RIGHT)
            x += width - length;
        int limit = p.left + std::max(room, wrapWidth) - x;
        client.Text(x, p.textRow + i, lines[i], attr, limit);
        end = std::max(end, x + std::min(length, limit));
    }
    return end;
}

void DrawUpDown(Client& client, const Place& p, unsigned char attr) {
    int half = (p.bottom - p.top) / 2;
    for (int y = p.top; y < p.bottom; ++y)
        client.Put(p.left, y, y < p.top + half ? '^' : 'v', attr);
}

void AddHit(std::vector<Hit>* hits, const Client& client, Hit::Kind kind, int id, int left, int top,
            int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, client.Cols());
    bottom = std::min(bottom, client.Rows());
    if (left < right && top < bottom)
        hits->push_back(Hit{kind, id, client.Left() + left, client.Top() + top,
                            client.Left() + right - 1, client.Top() + bottom - 1});
}

// Draws one control; the column after its drawn text, for its hit.
int DrawControl(Client& client, const Place& p, int self) {
    const ControlView& c = *p.control;
    unsigned char attr = c.enabled ? kPlain : kDim;
    std::string label = LabelOf(c);
    if (IsButton(c, ButtonLook::Push))
        return DrawPushButton(client, p, self, label, false, attr);
    if (IsButton(c, ButtonLook::CheckBox) && (c.style & BS_PUSHLIKE))
        return DrawPushButton(client, p, self, label, c.check != 0, attr);
    if (IsButton(c, ButtonLook::CheckBox) || IsButton(c, ButtonLook::Radio))
        return DrawCheck(client, p, self, label, attr);
    if (IsGroupBox(c))
        DrawGroupBox(client, p, label, attr);
    else if (c.kind == WindowKind::Edit)
        DrawEdit(client, p, attr);
    else if (ShowsIcon(c))
        client.Text(p.left, p.top, "(B)", attr, p.right - p.left);
    else if (c.kind == WindowKind::UpDown)
        DrawUpDown(client, p, attr);
    else
        return DrawStatic(client, p, self, label, attr);
    return p.right;
}

} // namespace

void DrawControls(Canvas& canvas, int left, int top, int cols, int rows, const WindowView& window,
                  std::vector<Hit>* hits) {
    int unitX = window.baseUnitX > 0 ? window.baseUnitX : kDefaultCellPixelsX;
    int unitY = window.baseUnitY > 0 ? window.baseUnitY : kDefaultCellPixelsY;
    std::vector<Place> places;
    for (const ControlView& control : window.controls)
        if (control.visible)
            places.push_back(PlaceOf(control, unitX, unitY));
    KeepGaps(places);
    Client client(canvas, left, top, cols, rows, places);
    // Group boxes first, so that their frames never cover what they group.
    std::vector<int> ends(places.size());
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t i = 0; i < places.size(); ++i)
            if (IsGroupBox(*places[i].control) == (pass == 0))
                ends[i] = DrawControl(client, places[i], static_cast<int>(i));
    if (!hits)
        return;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const Place& p = places[i];
        const ControlView& c = *p.control;
        if (!c.enabled || c.kind == WindowKind::Static || IsGroupBox(c))
            continue;
        if (c.kind == WindowKind::UpDown) {
            int half = p.top + (p.bottom - p.top) / 2;
            AddHit(hits, client, Hit::SpinUp, c.id, p.left, p.top, p.right, half);
            AddHit(hits, client, Hit::SpinDown, c.id, p.left, half, p.right, p.bottom);
        } else {
            AddHit(hits, client, Hit::Control, c.id, p.left, p.top, std::max(p.right, ends[i]),
                   p.bottom);
        }
    }
}

} // namespace hosted::term
