// A person's keys and clicks for the active window, made into the steps a
// scenario would take: `key`, `click`, `spin`, `answer`. Each key is one
// `key` step, so a recording grows with what was typed.
#include "term/window_input.h"

#include <curses.h>

#include "core/format.h"
#include "term/front_end_state.h"
#include "term/system_menu.h"

namespace hosted::term {
namespace {

// The `key` step of a key the focused control takes, or "" for none: the
// control's own code makes of it what it does.
std::string KeyLine(int code) {
    switch (code) {
    case '\t':
        return "key tab";
    case KEY_BTAB:
        return "key shift+tab";
    case '\r':
    case '\n':
    case KEY_ENTER:
        return "key enter";
    case 27:
        return "key escape";
    case ' ':
        return "key space";
    case KEY_UP:
        return "key up";
    case KEY_DOWN:
        return "key down";
    case KEY_LEFT:
        return "key left";
    case KEY_RIGHT:
        return "key right";
    case KEY_HOME:
        return "key home";
    case KEY_END:
        return "key end";
    case KEY_DC:
        return "key delete";
    case KEY_BACKSPACE:
    case 127:
    case 8:
        return "key backspace";
    case '#': // bare, it would start a comment
        return "key \"#\"";
    }
    if (code > ' ' && code < 0x7F)
        return std::string("key ") + static_cast<char>(code);
    return "";
}

const Hit* HitAt(const std::vector<Hit>& hits, int x, int y) {
    for (const Hit& hit : hits)
        if (x >= hit.left && x <= hit.right && y >= hit.top && y <= hit.bottom)
            return &hit;
    return nullptr;
}

} // namespace

void WindowKey(const InputEvent& event) {
    WindowView active;
    if (!ActiveWindow(&active))
        return;
    if (event.code == KEY_F(12)) {
        Do(active.iconic ? "restore" : "minimize");
        return;
    }
    if (event.code == KEY_F(9) || (event.alt && event.code == ' ')) {
        OpenMenu();
        return;
    }
    if (active.iconic || event.alt)
        return;
    std::string line = KeyLine(event.code);
    if (!line.empty())
        Do(line);
}

void Click(int x, int y) {
    if (g_front.menuOpen) {
        const Hit* item = HitAt(g_front.menuHits, x, y);
        g_front.menuOpen = false;
        if (item)
            ChooseMenuItem(static_cast<UINT>(item->id));
        return;
    }
    const Hit* hit = HitAt(g_front.hits, x, y);
    if (!hit)
        return;
    switch (hit->kind) {
    case Hit::Control:
        Do(Format("click %d", hit->id));
        break;
    case Hit::SpinUp:
    case Hit::SpinDown:
        Do(Format("spin %d %s", hit->id, hit->kind == Hit::SpinUp ? "up" : "down"));
        break;
    case Hit::BoxButton:
        if (hit->id == IDOK || hit->id == IDCANCEL)
            Do(hit->id == IDOK ? "answer ok" : "answer cancel");
        break;
    case Hit::SystemMenuMark:
        OpenMenu();
        break;
    case Hit::MenuItem:
        break;
    }
}

} // namespace hosted::term
