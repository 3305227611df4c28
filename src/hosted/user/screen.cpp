// The read-only side of the screen: copies of the window table's records.
#include "user/screen.h"

#include "user/window.h"

namespace hosted {

ButtonLook ButtonLookOf(DWORD style) {
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return ButtonLook::CheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return ButtonLook::Radio;
    case BS_GROUPBOX:
        return ButtonLook::GroupBox;
    default:
        return ButtonLook::Push;
    }
}

bool ShowsIcon(const ControlView& control) {
    return control.kind == WindowKind::Static && (control.style & SS_TYPEMASK) == SS_ICON;
}

namespace {

WindowView ViewOf(Window& window) {
    WindowView view;
    view.handle = window.handle;
    view.messageBox = window.kind == WindowKind::MessageBox;
    view.templateId = window.templateId;
    view.caption = view.messageBox ? window.caption : window.text;
    view.text = view.messageBox ? window.text : "";
    view.boxType = window.boxType;
    if (view.messageBox)
        view.buttons = MessageBoxButtons(window.boxType);
    view.rect = window.rect;
    view.baseUnitX = window.baseUnitX;
    view.baseUnitY = window.baseUnitY;
    view.enabled = window.IsEnabled();
    view.iconic = window.iconic;
    view.drawnIcon = window.drawnIcon;
    view.drawnAt = window.drawnAt;
    view.hasSystemMenu = (window.style & WS_SYSMENU) != 0;
    HWND focus = FocusIn(window);
    for (HWND child : window.children) {
        const Window& control = *LookupWindow(child);
        ControlView item;
        item.handle = control.handle;
        item.id = control.id;
        item.kind = control.kind;
        item.className = control.className;
        item.text = control.text;
        item.position = control.position;
        item.style = control.style;
        item.rect = control.rect;
        item.check = control.check;
        item.selStart = control.selStart;
        item.selEnd = control.selEnd;
        item.visible = control.IsVisible();
        item.enabled = control.IsEnabled();
        item.focused = control.handle == focus;
        view.controls.push_back(item);
    }
    return view;
}

} // namespace

std::vector<WindowView> VisibleWindows() {
    MachineLock lock = LockMachine();
    std::vector<WindowView> views;
    for (Window* window : TopLevelWindows())
        if (window->IsVisible())
            views.push_back(ViewOf(*window));
    return views;
}

bool ActiveWindow(WindowView* view) {
    MachineLock lock = LockMachine();
    Window* active = ActiveTopLevel();
    if (active)
        *view = ViewOf(*active);
    return active != nullptr;
}

} // namespace hosted
