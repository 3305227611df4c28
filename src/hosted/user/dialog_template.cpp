#include "user/dialog_template.h"

#include <cstring>

#include "kernel/resources.h"

namespace hosted {
namespace {

class Reader {
  public:
    Reader(const BYTE* data, DWORD size) : m_begin(data), m_p(data), m_end(data + size) {}

    bool ok() const { return m_ok; }

    template <typename T> T Get() {
        T value{};
        if (m_end - m_p < static_cast<std::ptrdiff_t>(sizeof(T))) {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_p, sizeof(T));
        m_p += sizeof(T);
        return value;
    }

    std::string String() {
        std::u16string text;
        while (m_ok) {
            char16_t c = Get<char16_t>();
            if (c == 0)
                break;
            text.push_back(c);
        }
        return Narrow(text);
    }

    // A name-or-ordinal field: 0 (none), 0xFFFF and an ordinal, or a string.
    void NameOrOrdinal(std::string* name, WORD* ordinal) {
        WORD first = Get<WORD>();
        if (first == 0xFFFF) {
            *ordinal = Get<WORD>();
        } else if (first != 0) {
            m_p -= 2;
            *name = String();
        }
    }

    void AlignDword() {
        std::ptrdiff_t offset = m_p - m_begin;
        m_p += (4 - offset % 4) % 4;
        if (m_p > m_end)
            m_ok = false;
    }

    void Skip(WORD count) {
        if (m_end - m_p < count)
            m_ok = false;
        else
            m_p += count;
    }

  private:
    const BYTE* m_begin;
    const BYTE* m_p;
    const BYTE* m_end;
    bool m_ok = true;
};

std::string ClassFromAtom(WORD atom) {
    switch (atom) {
    case 0x80:
        return "Button";
    case 0x81:
        return "Edit";
    case 0x82:
        return "Static";
    case 0x83:
        return "ListBox";
    case 0x84:
        return "ScrollBar";
    case 0x85:
        return "ComboBox";
    default:
        return "#" + std::to_string(atom);
    }
}

} // namespace

bool ParseDialogTemplate(const BYTE* data, DWORD size, DialogTemplate* out) {
    Reader r(data, size);
    DialogTemplate t;
    WORD count = 0;
    if (size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF) {
        t.extended = true;
        r.Get<DWORD>(); // version and signature
        r.Get<DWORD>(); // help id
        t.exStyle = r.Get<DWORD>();
        t.style = r.Get<DWORD>();
    } else {
        t.style = r.Get<DWORD>();
        t.exStyle = r.Get<DWORD>();
    }
    count = r.Get<WORD>();
    t.x = r.Get<short>();
    t.y = r.Get<short>();
    t.cx = r.Get<short>();
    t.cy = r.Get<short>();
    std::string menu, windowClass;
    WORD menuId = 0, classId = 0;
    r.NameOrOrdinal(&menu, &menuId);
    r.NameOrOrdinal(&windowClass, &classId);
    t.caption = r.String();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.Get<WORD>();
        if (t.extended) {
            r.Get<WORD>(); // weight
            r.Get<WORD>(); // italic, character set
        }
        t.font = r.String();
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
        DialogItemTemplate item;
        r.AlignDword();
        if (t.extended) {
            r.Get<DWORD>(); // help id
            item.exStyle = r.Get<DWORD>();
            item.style = r.Get<DWORD>();
        } else {
            item.style = r.Get<DWORD>();
            item.exStyle = r.Get<DWORD>();
        }
        item.x = r.Get<short>();
        item.y = r.Get<short>();
        item.cx = r.Get<short>();
        item.cy = r.Get<short>();
        // A plain template's id is a WORD, and the control gets it as it is:
        // IDC_STATIC (-1) there comes back from GetDlgCtrlID as 65535.
        item.id = t.extended ? static_cast<int>(r.Get<DWORD>()) : r.Get<WORD>();
        WORD atom = 0;
        r.NameOrOrdinal(&item.className, &atom);
        if (item.className.empty())
            item.className = ClassFromAtom(atom);
        r.NameOrOrdinal(&item.text, &item.textOrdinal);
        r.Skip(r.Get<WORD>());
        t.items.push_back(item);
    }
    if (!r.ok())
        return false;
    *out = t;
    return true;
}

} // namespace hosted
