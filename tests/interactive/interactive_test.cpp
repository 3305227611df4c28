// The interactive run as a person has it on a terminal: the main dialog
// drawn from its template, the wheel steered with forwarding on, Setup with
// a refused entry, About from the system menu, every way out giving the
// terminal back, a recorded session that replays to the same run, and keys
// typed into an edit recorded as keys.
#include <cstdlib>
#include <sstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "scenario_run.h"
#include "tmux_session.h"

namespace {

// Where `text` first shows on the screen: its column and row.
bool Find(const std::string& screen, const std::string& text, int* x, int* y) {
    std::istringstream rows(screen);
    std::string row;
    for (int at = 0; std::getline(rows, row); ++at) {
        std::size_t column = row.find(text);
        if (column != std::string::npos) {
            *x = static_cast<int>(column);
            *y = at;
            return true;
        }
    }
    return false;
}

std::string RowWith(const std::string& screen, const std::string& text) {
    int x = 0, y = 0;
    if (!Find(screen, text, &x, &y))
        return "";
    std::istringstream rows(screen);
    std::string row;
    for (int at = 0; at <= y; ++at)
        std::getline(rows, row);
    return row;
}

// The number that follows `text` on its row (after blanks and '_').
long NumberAfter(const std::string& screen, const std::string& text) {
    int x = 0, y = 0;
    if (!Find(screen, text, &x, &y))
        return -1;
    std::string rest = RowWith(screen, text).substr(x + text.size());
    std::size_t digits = rest.find_first_of("0123456789");
    return digits == std::string::npos ? -1 : std::atol(rest.c_str() + digits);
}

void ClickText(TmuxSession& session, const std::string& text) {
    int x = 0, y = 0;
    ASSERT_TRUE(Find(session.Capture(), text, &x, &y)) << text << "\n" << session.Capture();
    session.Click(x + 1, y);
}

std::string Lines(const std::string& text, const std::string& kind) {
    std::istringstream lines(text);
    std::string line, kept;
    while (std::getline(lines, line))
        if (line.find(kind) != std::string::npos)
            kept += line + "\n";
    return kept;
}

TEST(Interactive, TheMainDialogIsDrawnFromItsTemplateBesideTheWheelPanel) {
    TempDir dir;
    TmuxSession session(dir, "");
    ASSERT_TRUE(session.WaitFor("Velomira")) << session.Capture();
    ASSERT_TRUE(session.WaitFor("Driver present")) << session.Capture();
    std::string screen = session.Capture();
    // A control at dialog units (x, y) starts at cell (1 + x / 4, 1 + y / 8):
    // a quarter of a cell across, an eighth down, inside a one-cell frame.
    struct Label {
        const char* text;
        int x, y;
    } labels[] = {{"RZ4Max:", 138, 9}, {"X-axis", 30, 118}, {"Y-axis", 30, 138}};
    for (const Label& label : labels) {
        int x = 0, y = 0;
        ASSERT_TRUE(Find(screen, label.text, &x, &y)) << label.text << "\n" << screen;
        EXPECT_EQ(x, 1 + label.x / 4) << label.text << "\n" << screen;
        EXPECT_EQ(y, 1 + label.y / 8) << label.text << "\n" << screen;
    }
    int x = 0, y = 0;
    EXPECT_TRUE(Find(screen, "Velomira", &x, &y) && y == 0) << screen;
    for (const char* shown : {"Close", "Setup...", "Enable", "Joystick Data", "Button 10"})
        EXPECT_NE(screen.find(shown), std::string::npos) << shown << "\n" << screen;
    // Hidden in the template, so not drawn.
    for (const char* hidden : {"Cancel", "Z-axis", "Enable Joystick Polling"})
        EXPECT_EQ(screen.find(hidden), std::string::npos) << hidden << "\n" << screen;
    session.SendKeys("Escape");
    EXPECT_EQ(session.WaitForExit(), 0);
}

TEST(Interactive, SteeringWithForwardingOnChangesTheFieldsAndTheCounters) {
    TempDir dir;
    TmuxSession session(dir, "");
    ASSERT_TRUE(session.WaitFor("X-axis"));
    ClickText(session, "Enable");
    // Pressed in, and the program names what it does next.
    ASSERT_TRUE(session.WaitFor("[*>Disabl")) << session.Capture();
    ASSERT_TRUE(session.WaitForGone("DIJoyCount:____")) << session.Capture();
    std::string before = session.Capture();
    session.SendKeys("F4 F4 F4 F6 M-1");
    ASSERT_TRUE(session.WaitForGone(RowWith(before, "X-axis"))) << session.Capture();
    ASSERT_TRUE(session.WaitFor("[x] Button 1")) << session.Capture();
    std::string after = session.Capture();
    EXPECT_NE(RowWith(after, "Y-axis"), RowWith(before, "Y-axis")) << after;
    EXPECT_NE(RowWith(after, "DIJoyCount:"), RowWith(before, "DIJoyCount:")) << after;
    session.SendKeys("Escape");
    EXPECT_EQ(session.WaitForExit(), 0);
    std::string log = dir.Read("Briskarn.log");
    EXPECT_NE(log.find("RZ4 Callback enabled."), std::string::npos) << log;
}

// No mouse report holds the program: a click on a control, one on empty
// space and a press held, each seen by the count of reports rising on.
TEST(Interactive, TheMouseNeverHoldsTheProgram) {
    TempDir dir;
    TmuxSession session(dir, "");
    ASSERT_TRUE(session.WaitFor("Enable"));
    session.SendKeys("F2");
    int x = 0, y = 0;
    ASSERT_TRUE(Find(session.Capture(), "Joystick Data", &x, &y));
    auto countsOn = [&](const char* after) {
        for (int twice = 0; twice < 2; ++twice) {
            std::string count = RowWith(session.Capture(), "DIJoyCount:");
            EXPECT_TRUE(session.WaitForGone(count)) << after << "\n" << session.Capture();
        }
    };
    ClickText(session, "Enable");
    ASSERT_TRUE(session.WaitFor("[*>Disabl")) << session.Capture();
    countsOn("a control clicked");
    session.Click(x, y - 2);
    countsOn("empty space clicked");
    session.Mouse(x, y - 2, true);
    countsOn("a press held");
    session.Mouse(x, y - 2, false);
    countsOn("the press released");
    session.SendKeys("Escape");
    EXPECT_EQ(session.WaitForExit(), 0);
}

TEST(Interactive, SetupRefusesANineTakesTheCorrectionAndTheNextRunHasIt) {
    TempDir dir;
    {
        TmuxSession session(dir, "");
        ASSERT_TRUE(session.WaitFor("Setup..."));
        ClickText(session, "Setup...");
        ASSERT_TRUE(session.WaitFor("Setup Buttons")) << session.Capture();
        // OK has the focus first; the first edit comes after OK and Cancel.
        session.SendKeys("Tab Tab 9 Enter");
        ASSERT_TRUE(session.WaitFor("Please enter an integer between 1 and 8."))
            << session.Capture();
        session.SendKeys("Enter");
        ASSERT_TRUE(session.WaitForGone("Please enter an integer")) << session.Capture();
        session.SendKeys("BSpace BSpace 5 Enter");
        ASSERT_TRUE(session.WaitForGone("Setup Buttons")) << session.Capture();
        session.SendKeys("Escape");
        ASSERT_EQ(session.WaitForExit(), 0);
    }
    EXPECT_NE(dir.Read("briskarn-registry.txt").find("\"Button1\" 5\n"), std::string::npos)
        << dir.Read("briskarn-registry.txt");
    TmuxSession next(dir, "");
    ASSERT_TRUE(next.WaitFor("Setup..."));
    ClickText(next, "Setup...");
    ASSERT_TRUE(next.WaitFor("Setup Buttons"));
    std::string row = RowWith(next.Capture(), "Virtual joystick A,");
    EXPECT_NE(row.find("5"), std::string::npos) << next.Capture();
    next.SendKeys("Escape");
    ASSERT_TRUE(next.WaitForGone("Setup Buttons"));
    next.SendKeys("Escape");
    EXPECT_EQ(next.WaitForExit(), 0);
}

TEST(Interactive, AboutOpensFromTheSystemMenuAndCloses) {
    TempDir dir;
    TmuxSession session(dir, "");
    ASSERT_TRUE(session.WaitFor("Velomira"));
    session.SendKeys("F9");
    ASSERT_TRUE(session.WaitFor("About Velomira")) << session.Capture();
    // The last entry, reached from the first by going up.
    session.SendKeys("Up Enter");
    ASSERT_TRUE(session.WaitFor("Racing wheel bridge for RZ4")) << session.Capture();
    session.SendKeys("Enter");
    ASSERT_TRUE(session.WaitForGone("Racing wheel bridge for RZ4")) << session.Capture();
    session.SendKeys("F12");
    ASSERT_TRUE(session.WaitForGone("Joystick Data")) << session.Capture();
    session.SendKeys("F12");
    ASSERT_TRUE(session.WaitFor("Joystick Data")) << session.Capture();
    session.SendKeys("Escape");
    EXPECT_EQ(session.WaitForExit(), 0);
}

TEST(Interactive, EveryWayOutGivesTheTerminalBackAndLeavesARecordingThatReplays) {
    {
        TempDir dir;
        TmuxSession session(dir, "");
        ASSERT_TRUE(session.WaitFor("Velomira"));
        // Made too small while running: a message, not a garbled screen, no
        // key acting unseen (Enter would press Close), and the window back
        // once there is room again.
        session.Resize(70, 20);
        ASSERT_TRUE(session.WaitFor("BRISKARN needs a terminal of at least 80 x 24;"))
            << session.Capture();
        EXPECT_TRUE(session.WaitFor("this one is 70 x 20.")) << session.Capture();
        EXPECT_EQ(session.Capture().find("Velomira"), std::string::npos) << session.Capture();
        session.SendKeys("Enter");
        session.Resize(120, 40);
        ASSERT_TRUE(session.WaitFor("Velomira")) << session.Capture();
        session.SendKeys("Escape");
        EXPECT_EQ(session.WaitForExit(), 0);
        EXPECT_TRUE(session.ModesRestored());
        EXPECT_TRUE(session.WaitFor("run-ended"));
        EXPECT_NE(dir.Read("Briskarn.log").find("Program exit."), std::string::npos);
    }
    // Each signal that ends a process: the terminal given back (but after a
    // SIGKILL), and the recording ending with a step that ends its replay
    // at the same point of the run.
    struct Case {
        const char* how; // tmux keys (Ctrl-C; Ctrl-\ as its byte) or a signal's name
        int exitCode;
    } cases[] = {{"C-c", 130},  {"-H 1c", 131}, {"TERM", 143}, {"HUP", 129},
                 {"PIPE", 141}, {"USR1", 138},  {"USR2", 140}, {"ALRM", 142},
                 {"SEGV", 139}, {"ABRT", 134},  {"KILL", 137}};
    for (const Case& c : cases) {
        TempDir dir;
        TmuxSession session(dir, "--record session.txt --transcript live.txt");
        ASSERT_TRUE(session.WaitFor("Velomira")) << c.how;
        session.SendKeys("F4");
        ASSERT_TRUE(session.WaitFor("36863")) << session.Capture();
        if (c.how[0] == 'C' || c.how[0] == '-')
            session.SendKeys(c.how);
        else
            session.Signal(c.how);
        EXPECT_EQ(session.WaitForExit(), c.exitCode) << c.how;
        if (c.exitCode != 137) {
            EXPECT_TRUE(session.ModesRestored()) << c.how;
        }
        std::string errors;
        EXPECT_EQ(RunBriskarn(dir, "--scenario session.txt --transcript replay.txt", &errors), 0)
            << c.how << "\n"
            << errors << dir.Read("session.txt");
        EXPECT_NE(dir.Read("live.txt").find("driver open"), std::string::npos) << c.how;
        EXPECT_EQ(dir.Read("replay.txt"), dir.Read("live.txt")) << c.how;
    }
    TempDir dir;
    TmuxSession small(dir, "", 79, 24);
    EXPECT_EQ(small.WaitForExit(), 1);
    EXPECT_TRUE(small.ModesRestored());
    EXPECT_EQ(dir.Read("errors.txt"),
              "briskarn: the terminal is 79 x 24; BRISKARN needs at least 80 x 24\n");
    // A recording that cannot be written ends the run at once.
    TempDir other;
    TmuxSession full(other, "--record /dev/full");
    EXPECT_EQ(full.WaitForExit(), 2);
    EXPECT_TRUE(full.ModesRestored());
    EXPECT_EQ(other.Read("errors.txt"),
              "briskarn: cannot write the recording: No space left on device\n");
}

// A message for the user is kept from the screen the window covers and
// shown once the terminal is given back.
TEST(Interactive, AWarningWaitsForTheTerminalToBeGivenBack) {
    TempDir dir;
    dir.Write("briskarn-registry.txt", "not a registry\n");
    TmuxSession session(dir, "");
    ASSERT_TRUE(session.WaitFor("Setup..."));
    ClickText(session, "Setup...");
    ASSERT_TRUE(session.WaitFor("Setup Buttons")) << session.Capture();
    session.SendKeys("Enter");
    ASSERT_TRUE(session.WaitForGone("Setup Buttons")) << session.Capture();
    ASSERT_TRUE(dir.Exists("briskarn-registry.txt.bad"));
    EXPECT_EQ(dir.Read("errors.txt"), "");
    session.SendKeys("Escape");
    ASSERT_EQ(session.WaitForExit(), 0);
    EXPECT_EQ(dir.Read("errors.txt"),
              "briskarn: briskarn-registry.txt could not be read whole; it is kept as "
              "briskarn-registry.txt.bad\n");
}

TEST(Interactive, TheDriverPanelShowsWhatTheDriverReceivesAndTheWheelItsOwnButtons) {
    TempDir dir;
    dir.Write("four.txt", "driver present gamemax=2048 rate=50\n"
                          "slot 0 wheel polled buttons=4 povs=0 name=Four\n");
    TmuxSession session(dir, "--machine four.txt");
    ASSERT_TRUE(session.WaitFor("Last report")) << session.Capture();
    // Four buttons and no hat, as the machine has them.
    std::string screen = session.Capture();
    std::string buttons = RowWith(screen, " 1    2    3    4");
    EXPECT_EQ(buttons.substr(buttons.size() - 4), "   4") << screen;
    EXPECT_EQ(screen.find("|  6    7"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("Hat "), std::string::npos) << screen;
    ClickText(session, "Enable");
    // Wheel button 2 is joystick A button 1 in the default map; the report
    // carries it and the X the dialog shows.
    session.SendKeys("F4 M-2");
    ASSERT_TRUE(session.WaitFor("[A1]")) << session.Capture();
    screen = session.Capture();
    EXPECT_EQ(NumberAfter(screen, "Last report"), NumberAfter(screen, "X-axis")) << screen;
    EXPECT_EQ(screen.find("[A2]"), std::string::npos) << screen;
    session.SendKeys("M-2");
    ASSERT_TRUE(session.WaitForGone("[A1]")) << session.Capture();
    // With the autopilot steering, reports flow at the poll's pace.
    session.SendKeys("F2");
    ASSERT_TRUE(session.WaitFor("Autopilot on"));
    bool flowing = false;
    for (int i = 0; i < 60 && !flowing; ++i) {
        flowing = NumberAfter(session.Capture(), "Reports per second") > 0;
        usleep(100000);
    }
    EXPECT_TRUE(flowing) << session.Capture();
    // The log's latest entry, as written, is in the panel.
    std::string log = dir.Read("Briskarn.log");
    std::size_t last = log.rfind(" * ", log.size() - 2);
    ASSERT_NE(last, std::string::npos) << log;
    std::string entry = log.substr(last + 3, log.find('\n', last) - last - 3);
    EXPECT_TRUE(session.WaitFor(entry.substr(0, 20))) << entry << "\n" << session.Capture();
    session.SendKeys("Escape");
    EXPECT_EQ(session.WaitForExit(), 0);
}

TEST(Interactive, At80x24TheDialogIsWholeThePanelsFoldAwayAndF1Helps) {
    TempDir dir;
    TmuxSession session(dir, "--record session.txt", 80, 24);
    ASSERT_TRUE(session.WaitFor("Velomira")) << session.Capture();
    ASSERT_TRUE(session.WaitFor("Button 10")) << session.Capture();
    std::string screen = session.Capture();
    for (const char* shown : {"Close", "Enable", "RZ4Max:", "DIJoyCount:", "Setup...", "Button 5"})
        EXPECT_NE(screen.find(shown), std::string::npos) << shown << "\n" << screen;
    // The frame's bottom row is on screen, above the bottom line.
    EXPECT_NE(screen.find("\n+" + std::string(78, '-') + "+\n"), std::string::npos) << screen;
    EXPECT_EQ(screen.find("Last report"), std::string::npos) << screen;
    // The panels take the screen; the window's keys wait for its return.
    session.SendKeys("F11");
    ASSERT_TRUE(session.WaitFor("Last report")) << session.Capture();
    EXPECT_EQ(session.Capture().find("Velomira"), std::string::npos) << session.Capture();
    session.SendKeys("F2 Enter");
    ASSERT_TRUE(session.WaitFor("Autopilot on")) << session.Capture();
    session.SendKeys("F11");
    ASSERT_TRUE(session.WaitFor("Velomira")) << session.Capture();
    // The help names every file the run writes, where it is.
    session.SendKeys("F1");
    for (const char* file : {"Briskarn.log", "briskarn-registry.txt", "session.txt"})
        EXPECT_TRUE(session.WaitFor(dir.File(file))) << file << "\n" << session.Capture();
    session.SendKeys("Enter");
    ASSERT_TRUE(session.WaitForGone(dir.File("session.txt"))) << session.Capture();
    // A menu entry by its letter; Alt+F4 as the menu's Close says.
    session.SendKeys("F9 a");
    ASSERT_TRUE(session.WaitFor("Racing wheel bridge for RZ4")) << session.Capture();
    session.SendKeys("Escape");
    ASSERT_TRUE(session.WaitForGone("Racing wheel bridge for RZ4")) << session.Capture();
    session.SendKeys("M-F4");
    EXPECT_EQ(session.WaitForExit(), 0);
    EXPECT_NE(dir.Read("Briskarn.log").find("Program exit."), std::string::npos);
}

TEST(Interactive, ARecordedSessionReplaysToTheSameReportsLogAndRegistry) {
    TempDir dir;
    // Settings of earlier runs that only quotes and bytes can spell; the
    // program takes the four bytes of Button4 whatever their type.
    dir.Write("briskarn-registry.txt",
              "registry binary \"HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons\" "
              "\"Button4\" 07 00 00 00\n"
              "registry string \"HKLM\\Software\\ORMEL Software\\BRISKARN\" \"Note\" "
              "\"say \"\"hi\"\" #1\"\n");
    {
        TmuxSession session(dir, "--record session.txt --transcript live.txt");
        ASSERT_TRUE(session.WaitFor("Velomira"));
        ClickText(session, "Enable");
        session.SendKeys("F2");
        ASSERT_TRUE(session.WaitFor("Autopilot on")) << session.Capture();
        // Reports reaching the driver, the count moving on.
        std::string count = RowWith(session.Capture(), "DIJoyCount:");
        ASSERT_TRUE(session.WaitForGone(count)) << session.Capture();
        ClickText(session, "Setup...");
        ASSERT_TRUE(session.WaitFor("Setup Buttons"));
        session.SendKeys("Tab Tab Tab 7 Enter");
        ASSERT_TRUE(session.WaitForGone("Setup Buttons"));
        session.SendKeys("F2 F3 M-2 F7 Escape");
        ASSERT_EQ(session.WaitForExit(), 0);
    }
    std::string errors;
    ASSERT_EQ(RunBriskarn(dir, "--scenario session.txt --transcript replay.txt", &errors), 0)
        << errors << dir.Read("session.txt");
    std::string live = dir.Read("live.txt"), replay = dir.Read("replay.txt");
    ASSERT_NE(Lines(live, "driver report"), "");
    EXPECT_EQ(Lines(replay, "driver report"), Lines(live, "driver report"));
    EXPECT_EQ(Lines(replay, " log "), Lines(live, " log "));
    EXPECT_EQ(Lines(replay, "registry write"), Lines(live, "registry write"));
    EXPECT_NE(live.find("Buttons Button4 7\n"), std::string::npos) << "the bytes were taken";
    EXPECT_NE(dir.Read("session.txt").find("\"say \"\"hi\"\" #1\"\n"), std::string::npos)
        << dir.Read("session.txt");
    EXPECT_EQ(replay, live);
}

TEST(Interactive, KeysTypedIntoAnEditAreRecordedAsKeysAndReplay) {
    // A digit, then a paste of blanks, quotes, backslashes and "#" after it,
    // all taken away again with Delete from the second place on.
    const int kPasted = 1000;
    std::string pasted;
    for (int i = 0; i < kPasted; ++i)
        pasted += "ab #\"\\12"[i % 8];
    std::string deletes = "Home Right";
    for (int i = 0; i < kPasted; ++i)
        deletes += " Delete";
    TempDir dir;
    {
        TmuxSession session(dir, "--record session.txt --transcript live.txt");
        ASSERT_TRUE(session.WaitFor("Setup..."));
        ClickText(session, "Setup...");
        ASSERT_TRUE(session.WaitFor("Setup Buttons"));
        session.SendKeys("Tab Tab 7");
        session.SendKeys("-l '" + pasted + "'");
        session.SendKeys(deletes);
        session.SendKeys("Enter");
        ASSERT_TRUE(session.WaitForGone("Setup Buttons")) << session.Capture();
        session.SendKeys("Escape");
        ASSERT_EQ(session.WaitForExit(), 0);
    }
    std::string recording = dir.Read("session.txt");
    // Tab Tab 7, the paste, Home Right, the Deletes, Enter and Escape.
    const int keys = 3 + kPasted + 2 + kPasted + 2;
    int keyLines = 0;
    for (std::size_t at = recording.find("\nkey "); at != std::string::npos;
         at = recording.find("\nkey ", at + 1))
        ++keyLines;
    EXPECT_EQ(keyLines, keys);
    // A line a key and the time before it: a recording that held the
    // edit's text at every key would take half a megabyte.
    EXPECT_LT(recording.size(), 32u * keys + 16384) << recording.size() << " bytes";
    std::string errors;
    ASSERT_EQ(RunBriskarn(dir, "--scenario session.txt --transcript replay.txt", &errors), 0)
        << errors;
    std::string live = dir.Read("live.txt");
    EXPECT_NE(live.find("RZ4 buttons config: 7, 3, 4, 5."), std::string::npos) << live;
    EXPECT_EQ(dir.Read("replay.txt"), live);
}

} // namespace
