// The menus of user32 that the program touches: each window's system menu,
// made on first use with the entries Windows gives it, and the entries the
// program appends.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/forever.h"
#include "user/screen.h"
#include "user/window.h"

namespace hosted {
namespace {

struct MenuItem {
    UINT flags;
    UINT_PTR id;
    std::string text;
};

std::map<HMENU, std::vector<MenuItem>>& Menus() {
    static Forever<std::map<HMENU, std::vector<MenuItem>>> menus;
    return *menus;
}

std::map<HWND, HMENU>& SystemMenus() {
    static Forever<std::map<HWND, HMENU>> menus;
    return *menus;
}

HMENU NewSystemMenu() {
    static std::uintptr_t next = 0x40010;
    HMENU menu = reinterpret_cast<HMENU>(next);
    next += 4;
    Menus()[menu] = {{MF_STRING, SC_RESTORE, "&Restore"},    {MF_STRING, 0xF010, "&Move"},
                     {MF_STRING, 0xF000, "&Size"},           {MF_STRING, SC_MINIMIZE, "Mi&nimize"},
                     {MF_STRING, 0xF030, "Ma&ximize"},       {MF_SEPARATOR, 0, ""},
                     {MF_STRING, SC_CLOSE, "&Close\tAlt+F4"}};
    return menu;
}

} // namespace
} // namespace hosted

using namespace hosted;

HMENU WINAPI GetSystemMenu(HWND handle, BOOL revert) {
    MachineLock lock = LockMachine();
    Window* window = LookupWindow(handle);
    if (!window || !(window->style & WS_SYSMENU))
        return nullptr;
    HMENU& menu = SystemMenus()[handle];
    if (revert) {
        Menus().erase(menu);
        menu = nullptr;
        return nullptr;
    }
    if (!menu)
        menu = NewSystemMenu();
    return menu;
}

namespace hosted {

bool SystemMenuItems(std::vector<MenuItemView>* items) {
    MachineLock lock = LockMachine();
    Window* active = ActiveTopLevel();
    if (!active || !(active->style & WS_SYSMENU))
        return false;
    HMENU& menu = SystemMenus()[active->handle];
    if (!menu)
        menu = NewSystemMenu();
    items->clear();
    for (const MenuItem& item : Menus()[menu])
        items->push_back(MenuItemView{static_cast<UINT>(item.id), item.text,
                                      (item.flags & MF_SEPARATOR) != 0,
                                      (item.flags & MF_GRAYED) != 0});
    return true;
}

} // namespace hosted

BOOL WINAPI AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text) {
    MachineLock lock = LockMachine();
    auto it = Menus().find(menu);
    if (it == Menus().end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    it->second.push_back(MenuItem{flags, id, (flags & MF_SEPARATOR) || !text ? "" : text});
    return TRUE;
}

int WINAPI GetMenuItemCount(HMENU menu) {
    MachineLock lock = LockMachine();
    auto it = Menus().find(menu);
    return it == Menus().end() ? -1 : static_cast<int>(it->second.size());
}

UINT WINAPI GetMenuItemID(HMENU menu, int position) {
    MachineLock lock = LockMachine();
    auto it = Menus().find(menu);
    if (it == Menus().end() || position < 0 || position >= static_cast<int>(it->second.size()))
        return static_cast<UINT>(-1);
    return static_cast<UINT>(it->second[static_cast<std::size_t>(position)].id);
}

int WINAPI GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags) {
    MachineLock lock = LockMachine();
    auto it = Menus().find(menu);
    if (it == Menus().end())
        return 0;
    const MenuItem* found = nullptr;
    if (flags & MF_BYPOSITION) {
        if (item < it->second.size())
            found = &it->second[item];
    } else {
        for (const MenuItem& entry : it->second)
            if (entry.id == item)
                found = &entry;
    }
    if (!found || !buffer || size <= 0)
        return found ? static_cast<int>(found->text.size()) : 0;
    int copied = std::min(static_cast<int>(found->text.size()), size - 1);
    found->text.copy(buffer, static_cast<std::size_t>(copied));
    buffer[copied] = '\0';
    return copied;
}
