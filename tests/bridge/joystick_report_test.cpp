// Reports as the simulated driver receives them, and the progress lines in
// the log.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bridge/driver_records.h"
#include "bridge/joystick_report.h"
#include "core/machine.h"
#include "sim/driver_device.h"
#include "temp_dir.h"

namespace {

DIJOYSTATE2 Centred() {
    DIJOYSTATE2 state;
    std::memset(&state, 0, sizeof state);
    state.lX = state.lY = 32767;
    return state;
}

class JoystickReportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        {
            hosted::MachineLock lock = hosted::LockMachine();
            hosted::InstallDriverDevice();
            hosted::Driver() = hosted::DriverSettings();
            hosted::Driver().present = true;
            hosted::SetDriverCount(0);
            m_seen = hosted::DriverReportCount();
        }
        // As the main dialog's construction leaves them.
        JoystickReport = {0, 0, 0, 0, 0xFF};
        DriverStatus = {0, 0};
        DIJoyCount = 0;
        const DWORD map[4] = {1, 2, 3, 4};
        std::memcpy(ButtonMap, map, sizeof map);
        m_driver = CreateFileA("\\\\.\\BRISKARN.VXD", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE,
                               nullptr);
        ASSERT_NE(m_driver, INVALID_HANDLE_VALUE);
    }

    void TearDown() override { CloseHandle(m_driver); }

    void SetDriver(DWORD gameMax, DWORD count) {
        hosted::MachineLock lock = hosted::LockMachine();
        hosted::Driver().gameMax = gameMax;
        hosted::SetDriverCount(count);
    }

    // The reports the driver received since the last call.
    std::vector<hosted::DriverReport> Received() {
        hosted::MachineLock lock = hosted::LockMachine();
        std::vector<hosted::DriverReport> fresh = hosted::DriverReportsSince(m_seen);
        m_seen = hosted::DriverReportCount();
        return fresh;
    }

    // Sends one report and returns what the driver received.
    hosted::DriverReport Send(const DIJOYSTATE2& state) {
        SendJoystickReport(m_driver, &state);
        std::vector<hosted::DriverReport> fresh = Received();
        EXPECT_EQ(fresh.size(), 1u);
        return fresh.empty() ? hosted::DriverReport{-1, -1, 1, 1, 0xDEAD} : fresh.back();
    }

    std::string Log() const { return m_dir.Read("Briskarn.log"); }

    TempDir m_dir;
    CurrentDirectory m_current{m_dir.path()};
    HANDLE m_driver = INVALID_HANDLE_VALUE;
    std::uint64_t m_seen = 0;
};

const char* const kStamp = "07/12/2026 05:58:09-0000 * ";

} // namespace

TEST_F(JoystickReportTest, AxesFollowTheCurveScaledToTheGamesRange) {
    struct Row {
        LONG raw;
        LONG axis2048, axis1000;
    };
    const Row rows[] = {
        {0, 0, 0},        {16384, 65, 31},  {32267, 127, 62}, {32767, 127, 62},  {32768, 128, 62},
        {33267, 128, 62}, {34767, 133, 65}, {49151, 190, 93}, {65535, 255, 124},
    };
    const std::size_t n = sizeof rows / sizeof rows[0];
    for (DWORD gameMax : {2048u, 1000u}) {
        SetDriver(gameMax, 0);
        for (std::size_t i = 0; i < n; ++i) {
            // Y runs the table backwards so that a swapped axis shows.
            const Row& x = rows[i];
            const Row& y = rows[n - 1 - i];
            DIJOYSTATE2 state = Centred();
            state.lX = x.raw;
            state.lY = y.raw;
            hosted::DriverReport report = Send(state);
            EXPECT_EQ(report.axisX, gameMax == 2048 ? x.axis2048 : x.axis1000)
                << gameMax << " X " << x.raw;
            EXPECT_EQ(report.axisY, gameMax == 2048 ? y.axis2048 : y.axis1000)
                << gameMax << " Y " << y.raw;
            EXPECT_EQ(report.reserved1, 0u);
            EXPECT_EQ(report.reserved2, 0u);
            EXPECT_EQ(report.buttons, 0xF0u);
        }
    }
}

TEST_F(JoystickReportTest, ButtonBitsFollowTheButtonMap) {
    struct Case {
        DWORD map[4];
        std::vector<int> pressed;
        BYTE level;
        DWORD buttons;
    };
    const Case cases[] = {
        {{1, 2, 3, 4}, {}, 0x80, 0xF0},           {{1, 2, 3, 4}, {1, 2, 3, 4}, 0x80, 0x00},
        {{1, 2, 3, 4}, {1, 2, 3, 4}, 0x01, 0x00}, {{1, 2, 3, 4}, {5, 6, 7, 8}, 0x80, 0xF0},
        {{2, 3, 4, 5}, {2, 5}, 0x80, 0x60},       {{3, 3, 4, 5}, {3}, 0x80, 0xC0},
        {{8, 1, 128, 64}, {8, 128}, 0x80, 0xA0},
    };
    for (const Case& c : cases) {
        std::memcpy(ButtonMap, c.map, sizeof c.map);
        DIJOYSTATE2 state = Centred();
        for (int button : c.pressed)
            state.rgbButtons[button - 1] = c.level;
        EXPECT_EQ(Send(state).buttons, c.buttons)
            << "map " << c.map[0] << "," << c.map[1] << "," << c.map[2] << "," << c.map[3];
    }
}

TEST_F(JoystickReportTest, ButtonMapEntriesThatNameNoButtonCountAsReleased) {
    // The bytes on either side of rgbButtons are set, so an entry that read
    // them would show as pressed.
    DIJOYSTATE2 state = Centred();
    state.rgdwPOV[3] = 0xFFFFFFFF;
    state.lVX = -1;

    const DWORD nowhere[4] = {0, 129, 0xFFFFFFFF, 0x80000001};
    std::memcpy(ButtonMap, nowhere, sizeof nowhere);
    EXPECT_EQ(Send(state).buttons, 0xF0u);

    std::memset(state.rgbButtons, 0x80, sizeof state.rgbButtons);
    const DWORD mixed[4] = {0, 129, 0xFFFFFFFF, 128};
    std::memcpy(ButtonMap, mixed, sizeof mixed);
    EXPECT_EQ(Send(state).buttons, 0x70u);
}

TEST_F(JoystickReportTest, TooSmallGameMaxCountsAs2048AndStaysInTheRecord) {
    struct Case {
        DWORD driverGameMax;
        bool refuseRead;
        DWORD recordGameMax;
        LONG full, centre;
    };
    const Case cases[] = {
        {0, false, 2048, 255, 127},
        {15, false, 2048, 255, 127},
        {1000, true, 2048, 255, 127}, // the 0 of a read that never arrives
        {16, false, 16, 1, 0},
        {17, false, 17, 1, 0},
        {0xFFFFFFFF, false, 0xFFFFFFFF, 536854527, 268427263},
    };
    for (const Case& c : cases) {
        DriverStatus = {0, 0};
        SetDriver(c.driverGameMax, 0);
        {
            hosted::MachineLock lock = hosted::LockMachine();
            hosted::Driver().refuseRead = c.refuseRead;
        }
        DIJOYSTATE2 state = Centred();
        state.lX = 65535;
        state.lY = 0;
        hosted::DriverReport report = Send(state);
        EXPECT_EQ(DriverStatus.GameMax, c.recordGameMax) << c.driverGameMax;
        EXPECT_EQ(report.axisX, c.full) << c.driverGameMax;
        EXPECT_EQ(report.axisY, 0) << c.driverGameMax;
        EXPECT_GE(report.axisX, 0) << c.driverGameMax;

        state.lX = state.lY = 32767;
        report = Send(state);
        EXPECT_EQ(report.axisX, c.centre) << c.driverGameMax;
        EXPECT_EQ(report.axisY, c.centre) << c.driverGameMax;
    }
}

TEST_F(JoystickReportTest, ProgressIsLoggedOnlyAtCertainCallbackCounts) {
    struct Case {
        DWORD count;
        bool logs;
    };
    const Case cases[] = {
        {0, false},       {1, true},       {2, false},          {999, false},
        {1000, true},     {3000, true},    {5000, true},        {6000, false},
        {9000, false},    {10000, true},   {20000, true},       {30000, false},
        {40000, false},   {499999, false}, {500000, true},      {1000000, true},
        {1001000, false}, {1500000, true}, {0xFFFFFFFF, false}, {4294500000u, true},
    };
    for (const Case& c : cases) {
        SetDriver(2048, c.count);
        std::size_t before = Log().size();
        Send(Centred());
        EXPECT_EQ(Log().size() > before, c.logs) << c.count;
    }
}

TEST_F(JoystickReportTest, ACountThatRestsOnALoggingValueLogsEveryReport) {
    SetDriver(15, 1);
    for (int i = 0; i < 3; ++i)
        Send(Centred());
    SetDriver(15, 1000);
    Send(Centred());
    EXPECT_EQ(Log(), std::string(kStamp) + "RZ4 Callback #1: RZ4Max = 2048, DIJoyCount = 1\n" +
                         kStamp + "RZ4 Callback #1: RZ4Max = 2048, DIJoyCount = 2\n" + kStamp +
                         "RZ4 Callback #1: RZ4Max = 2048, DIJoyCount = 3\n" + kStamp +
                         "RZ4 Callback #1000: RZ4Max = 2048, DIJoyCount = 4\n");
}

TEST_F(JoystickReportTest, DIJoyCountCountsCallsEvenWhenTheDriverRefusesBoth) {
    {
        hosted::MachineLock lock = hosted::LockMachine();
        hosted::Driver().refuseRead = true;
        hosted::Driver().refuseWrite = true;
    }
    DIJOYSTATE2 state = Centred();
    for (DWORD expected = 1; expected <= 3; ++expected) {
        SendJoystickReport(m_driver, &state);
        EXPECT_EQ(DIJoyCount, expected);
    }
    EXPECT_TRUE(Received().empty());
    EXPECT_EQ(DriverStatus.GameMax, 2048u);
    EXPECT_EQ(DriverStatus.CallbackCount, 0u);

    {
        hosted::MachineLock lock = hosted::LockMachine();
        hosted::Driver().refuseRead = false;
        hosted::Driver().refuseWrite = false;
    }
    SetDriver(2048, 1);
    DIJoyCount = 0xFFFFFFFF;
    Send(state);
    EXPECT_EQ(DIJoyCount, 0u);
    EXPECT_EQ(Log(), std::string(kStamp) + "RZ4 Callback #1: RZ4Max = 2048, DIJoyCount = 0\n");
}
