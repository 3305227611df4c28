// Stands in for the rest of user32 that the program touches: registered
// window messages, the system menu, icons from resources, system metrics and
// painting (nothing is drawn on the simulated screen).
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <mutex>
#include <strings.h>

#include "kernel/resources.h"
#include "user/observers.h"
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
    // Never destroyed: the program's static destructors still use it.
    static auto* menus = new std::map<HMENU, std::vector<MenuItem>>;
    return *menus;
}

std::map<HWND, HMENU>& SystemMenus() {
    // Never destroyed: the program's static destructors still use it.
    static auto* menus = new std::map<HWND, HMENU>;
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

HICON IconForResource(WORD id) {
    if (!FindModuleResource(RT_GROUP_ICON, MAKEINTRESOURCEA(id)))
        return nullptr;
    return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(0x50000 + 4 * id));
}

} // namespace hosted

using namespace hosted;

namespace hosted {
namespace {

struct RegisteredMessages {
    std::mutex mutex;
    std::map<std::string, UINT> atoms; // by the name in capitals
    std::map<UINT, std::string> names; // as first registered
};

// Never destroyed, and usable before any other static: the program
// registers its messages during static initialisation.
RegisteredMessages& Registered() {
    static auto* registered = new RegisteredMessages;
    return *registered;
}

} // namespace

std::string RegisteredMessageName(UINT message) {
    RegisteredMessages& registered = Registered();
    std::lock_guard<std::mutex> guard(registered.mutex);
    auto it = registered.names.find(message);
    return it == registered.names.end() ? std::string() : it->second;
}

} // namespace hosted

UINT WINAPI RegisterWindowMessageA(LPCSTR name) {
    if (name == nullptr || *name == '\0') {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    RegisteredMessages& registered = Registered();
    std::lock_guard<std::mutex> guard(registered.mutex);
    auto it = registered.atoms.find(key);
    if (it != registered.atoms.end())
        return it->second;
    UINT atom = 0xC000 + static_cast<UINT>(registered.atoms.size());
    registered.atoms[key] = atom;
    registered.names[atom] = name;
    return atom;
}

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

using namespace hosted;

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

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (instance == nullptr) // the system's own icons
        return name == IDI_APPLICATION
                   ? reinterpret_cast<HICON>(static_cast<std::uintptr_t>(0x50004))
                   : nullptr;
    if (!IS_INTRESOURCE(name) && name[0] != '#') {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    WORD id = IS_INTRESOURCE(name) ? static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name))
                                   : static_cast<WORD>(std::atoi(name + 1));
    HICON icon = IconForResource(id);
    if (!icon)
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return icon;
}

int WINAPI GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    default:
        return 0;
    }
}

// A paint context names its window: the handle's value, one past it (window
// handles are multiples of four).
HDC WINAPI BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    *paint = PAINTSTRUCT{};
    if (!GetClientRect(handle, &paint->rcPaint))
        return nullptr;
    paint->hdc = reinterpret_cast<HDC>(reinterpret_cast<std::uintptr_t>(handle) + 1);
    return paint->hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT*) {
    return TRUE;
}

BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon) {
    MachineLock lock = LockMachine();
    Window* window = LookupWindow(reinterpret_cast<HWND>(reinterpret_cast<std::uintptr_t>(dc) - 1));
    if (!window || !icon) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    window->drawnIcon = icon;
    window->drawnAt = POINT{x, y};
    return TRUE;
}
