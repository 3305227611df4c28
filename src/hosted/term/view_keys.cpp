#include "term/view_keys.h"

#include <curses.h>

#include "term/front_end_state.h"
#include "term/system_menu.h"
#include "term/wheel_input.h"

namespace hosted::term {
namespace {

bool IsAltF4(const InputEvent& event) {
    // Escape before F4, or F4's code with Alt as xterm reports it (F49 on is Alt).
    return (event.alt && event.code == KEY_F(4)) || (!event.alt && event.code == KEY_F(52));
}

// Alt+F4 does what the system menu's Close entry does, and only while the
// menu offers it.
void CloseAsTheMenuSays() {
    std::vector<MenuItemView> items;
    if (!SystemMenuItems(&items))
        return;
    for (const MenuItemView& item : items)
        if (item.id == SC_CLOSE && !item.separator && !item.grayed)
            ChooseMenuItem(SC_CLOSE);
}

} // namespace

bool ViewTakes(const InputEvent& event) {
    if (event.kind != InputEvent::Key && event.kind != InputEvent::Mouse)
        return false;
    if (g_front.tooSmall)
        return true;
    if (g_front.help) {
        g_front.help = false;
        return true;
    }
    if (event.kind == InputEvent::Mouse)
        return !g_front.windowsShown;
    if (event.code == KEY_F(1) && !event.alt) {
        g_front.help = true;
        return true;
    }
    if (event.code == KEY_F(11) && !event.alt) {
        if (g_front.folded)
            g_front.panelsUnfolded = !g_front.panelsUnfolded;
        return true;
    }
    if (!g_front.windowsShown) {
        // The wheel's keys reach no window, so they still act.
        WheelKey(event);
        return true;
    }
    if (IsAltF4(event)) {
        CloseAsTheMenuSays();
        return true;
    }
    return false;
}

} // namespace hosted::term
