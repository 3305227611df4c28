// The main dialog's window as the user sees it: its icons, the About entry
// of its system menu, and the icon it paints while minimised.
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "core/machine.h"
#include "sim/driver_device.h"
#include "temp_dir.h"
#include "user/screen.h"

int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

namespace {

DWORD WINAPI RunProgram(LPVOID) {
    static char commandLine[] = "";
    return static_cast<DWORD>(
        AfxWinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL));
}

void Settle() {
    std::string report;
    ASSERT_TRUE(hosted::WaitUntilQuiet(&report)) << report;
}

TEST(WheelDialogWindow, ItPaintsItsIconCentredWhileMinimisedAndOffersAbout) {
    TempDir dir;
    CurrentDirectory inDir(dir.path());
    {
        hosted::MachineLock lock;
        hosted::InstallDriverDevice();
        hosted::Driver().present = true;
    }
    HANDLE program = CreateThread(nullptr, 0, RunProgram, nullptr, 0, nullptr);
    Settle();
    hosted::WindowView window;
    ASSERT_TRUE(hosted::ActiveWindow(&window));
    ASSERT_EQ(window.caption, "Velomira");

    HMENU menu = GetSystemMenu(window.handle, FALSE);
    int items = GetMenuItemCount(menu);
    ASSERT_GE(items, 2);
    EXPECT_EQ(GetMenuItemID(menu, items - 1), 0x10u);
    char text[64];
    GetMenuStringA(menu, 0x10, text, sizeof text, MF_BYCOMMAND);
    EXPECT_EQ(std::string(text), "&About Velomira");
    HICON big = reinterpret_cast<HICON>(SendMessageA(window.handle, WM_GETICON, ICON_BIG, 0));
    EXPECT_NE(big, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window.handle, WM_GETICON, ICON_SMALL, 0)), big);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(window.handle, WM_QUERYDRAGICON, 0, 0)), big);

    std::string error;
    ASSERT_TRUE(hosted::ChooseSystemCommand(SC_MINIMIZE, &error)) << error;
    Settle();
    ASSERT_TRUE(hosted::ActiveWindow(&window));
    EXPECT_TRUE(window.iconic);
    EXPECT_EQ(window.drawnIcon, big);
    RECT client;
    GetClientRect(window.handle, &client);
    int side = GetSystemMetrics(SM_CXICON);
    EXPECT_EQ(window.drawnAt.x, (client.right - client.left - side + 1) / 2);
    EXPECT_EQ(window.drawnAt.y, (client.bottom - client.top - side + 1) / 2);

    ASSERT_TRUE(hosted::ChooseSystemCommand(SC_RESTORE, &error)) << error;
    Settle();
    ASSERT_TRUE(hosted::ActiveWindow(&window));
    EXPECT_FALSE(window.iconic);
    EXPECT_EQ(window.drawnIcon, nullptr); // painted as a dialog again

    ASSERT_TRUE(hosted::PressKey(VK_ESCAPE, &error)) << error;
    EXPECT_EQ(WaitForSingleObject(program, INFINITE), WAIT_OBJECT_0);
    CloseHandle(program);
}

} // namespace
