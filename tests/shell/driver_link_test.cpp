// Opening and closing the companion driver through the application object.
#include <gtest/gtest.h>

#include "kernel/objects.h"
#include "shell/wheel_app.h"
#include "sim/driver_device.h"

namespace {

std::size_t CloseCalls() {
    hosted::MachineLock lock = hosted::LockMachine();
    return hosted::CloseHandleCalls();
}

} // namespace

TEST(DriverLink, ClosingANeverOpenedLinkCallsNothing) {
    ASSERT_EQ(theApp.m_hDriver, INVALID_HANDLE_VALUE);
    std::size_t before = CloseCalls();
    theApp.CloseDriver();
    theApp.CloseDriver();
    EXPECT_EQ(CloseCalls(), before);
    EXPECT_EQ(theApp.m_hDriver, INVALID_HANDLE_VALUE);
}

TEST(DriverLink, AnOpenedDriverIsClosedExactlyOnce) {
    {
        hosted::MachineLock lock = hosted::LockMachine();
        hosted::InstallDriverDevice();
        hosted::Driver().present = true;
    }
    ASSERT_TRUE(theApp.OpenDriver());
    ASSERT_NE(theApp.m_hDriver, INVALID_HANDLE_VALUE);
    {
        hosted::MachineLock lock = hosted::LockMachine();
        EXPECT_EQ(hosted::DriverOpenHandles(), 1);
    }
    std::size_t before = CloseCalls();
    theApp.CloseDriver();
    theApp.CloseDriver();
    EXPECT_EQ(CloseCalls(), before + 1);
    EXPECT_EQ(theApp.m_hDriver, INVALID_HANDLE_VALUE);
    hosted::MachineLock lock = hosted::LockMachine();
    EXPECT_EQ(hosted::DriverOpenHandles(), 0);
}
