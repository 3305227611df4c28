// A person's keys and clicks for the active window, made into the steps a
// scenario would take: `key`, `type`, `click`, `spin`, `answer`.
#include "term/window_input.h"

#include <curses.h>

#include "core/format.h"
#include "term/edit_keys.h"
#include "term/front_end_state.h"
#include "term/system_menu.h"

namespace hosted::term {
namespace {

void TypeInto(const ControlView& edit, int key) {
    std::string text, line;
    if (!TextAfterKey(edit.text, edit.selStart, edit.selEnd, key, &text))
        return;
    if (!TypeStepLine(edit.id, text, &line)) {
        g_front.status = "a scenario line cannot hold that text";
        return;
    }
    Do(line);
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
    const ControlView* focus = nullptr;
    for (const ControlView& control : active.controls)
        if (control.focused)
            focus = &control;
    bool inEdit = focus && focus->kind == WindowKind::Edit && focus->enabled;
    switch (event.code) {
    case '\t':
        Do("key tab");
        return;
    case KEY_BTAB:
        Do("key shift+tab");
        return;
    case '\r':
    case '\n':
    case KEY_ENTER:
        Do("key enter");
        return;
    case 27:
        Do("key escape");
        return;
    case KEY_UP:
        Do("key up");
        return;
    case KEY_DOWN:
        Do("key down");
        return;
    case KEY_BACKSPACE:
    case 127:
    case kBackspace:
        if (inEdit)
            TypeInto(*focus, kBackspace);
        return;
    }
    if (inEdit)
        TypeInto(*focus, event.code);
    else if (event.code == ' ')
        Do("key space");
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
