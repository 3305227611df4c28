// Icons from the module's resources, and the system's own; the icon's size
// is the one system metric the program asks for.
#include <cstdint>
#include <cstdlib>

#include "kernel/resources.h"
#include "user/window.h"

namespace hosted {

HICON IconForResource(WORD id) {
    if (!FindModuleResource(RT_GROUP_ICON, MAKEINTRESOURCEA(id)))
        return nullptr;
    return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(0x50000 + 4 * id));
}

} // namespace hosted

using namespace hosted;

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
