// comctl32's up-down class exists only after InitCommonControls: before
// it, a template with a spin cannot be made into a dialog at all.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "resources/resource.h"
#include "core/machine.h"
#include "user/screen.h"
#include "user/window.h"

namespace {

INT_PTR CALLBACK AcceptDefaults(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

HWND Create(int id) {
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                              AcceptDefaults, 0);
}

TEST(UpDown, DialogsWithSpinsNeedTheCommonControls) {
    {
        hosted::MachineLock lock;
        hosted::ForgetCommonControls();
    }
    SetLastError(0);
    EXPECT_EQ(Create(IDD_BUTTONS_DIALOG), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_TRUE(hosted::VisibleWindows().empty());
    HWND about = Create(IDD_ABOUTBOX);
    EXPECT_NE(about, nullptr) << "user32's own classes need nothing";
    DestroyWindow(about);

    InitCommonControls();
    HWND dialog = Create(IDD_BUTTONS_DIALOG);
    ASSERT_NE(dialog, nullptr);
    char name[32] = "";
    GetClassNameA(GetDlgItem(dialog, IDC_SPIN1), name, sizeof name);
    EXPECT_STREQ(name, "msctls_updown32");
    DestroyWindow(dialog);
}

} // namespace
