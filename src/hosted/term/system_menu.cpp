// The system menu as the interactive run offers it: opened by a key or a
// click on its mark, walked with the arrows, an entry chosen as a step.
#include "term/system_menu.h"

#include <cctype>

#include <curses.h>

#include "core/format.h"
#include "term/front_end_state.h"
#include "term/text_layout.h"

namespace hosted::term {
namespace {

// Windows keeps a system menu's entries in step with the window: only what
// can be done now is offered. The terminal moves and sizes nothing.
bool MenuItemUsable(const MenuItemView& item, bool iconic) {
    if (item.separator)
        return false;
    switch (item.id) {
    case SC_RESTORE:
        return iconic;
    case SC_MINIMIZE:
        return !iconic;
    case 0xF000: // Size
    case 0xF010: // Move
    case 0xF030: // Maximize
        return false;
    default:
        return true;
    }
}

bool Choosable(const MenuItemView& item) {
    return !item.separator && !item.grayed;
}

void MoveMenuSelection(int direction) {
    int count = static_cast<int>(g_front.menu.size());
    for (int step = 1; step <= count; ++step) {
        int index = ((g_front.menuSelected + direction * step) % count + count) % count;
        if (Choosable(g_front.menu[index])) {
            g_front.menuSelected = index;
            return;
        }
    }
}

// An entry's underlined letter chooses it, as in any Windows menu.
void ChooseByLetter(int key) {
    if (key <= 0 || key > 0x7F || !std::isalnum(key))
        return;
    char letter = static_cast<char>(std::tolower(key));
    for (const MenuItemView& item : g_front.menu)
        if (Choosable(item) && MnemonicOf(item.text) == letter) {
            ChooseMenuItem(item.id);
            return;
        }
}

} // namespace

void OpenMenu() {
    if (!SystemMenuItems(&g_front.menu))
        return;
    WindowView active;
    bool iconic = ActiveWindow(&active) && active.iconic;
    for (MenuItemView& item : g_front.menu)
        item.grayed = item.grayed || (!item.separator && !MenuItemUsable(item, iconic));
    g_front.menuOpen = true;
    g_front.menuSelected = 0;
    while (g_front.menuSelected < static_cast<int>(g_front.menu.size()) &&
           !Choosable(g_front.menu[g_front.menuSelected]))
        ++g_front.menuSelected;
}

void ChooseMenuItem(UINT id) {
    g_front.menuOpen = false;
    if (id == SC_MINIMIZE)
        Do("minimize");
    else if (id == SC_RESTORE)
        Do("restore");
    else
        Do(Format("syscommand 0x%X", id));
}

void MenuKey(const InputEvent& event) {
    switch (event.code) {
    case KEY_UP:
        MoveMenuSelection(-1);
        break;
    case KEY_DOWN:
        MoveMenuSelection(+1);
        break;
    case '\r':
    case '\n':
    case KEY_ENTER:
    case ' ':
        if (g_front.menuSelected < static_cast<int>(g_front.menu.size()) &&
            Choosable(g_front.menu[g_front.menuSelected]))
            ChooseMenuItem(g_front.menu[g_front.menuSelected].id);
        break;
    case 27:
    case KEY_F(9):
        g_front.menuOpen = false;
        break;
    default:
        ChooseByLetter(event.code);
        break;
    }
}

} // namespace hosted::term
