#include "term/terminal.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <curses.h>
#include <term.h>

#include "sim/ending_signals.h"

namespace hosted::term {
namespace {

// Written by signal handlers, read by the front end's loop.
int g_signalPipe[2] = {-1, -1};
bool g_open = false;
bool g_buttonDown = false; // the first mouse button, as last reported

// What a crash handler needs to give the terminal back without ncurses,
// which is not safe to call from a signal handler: the modes found at
// start, and the sequences that leave the full-screen mode.
struct termios g_savedModes;
bool g_haveSavedModes = false;
char g_leaveSequence[256];
std::size_t g_leaveLength = 0;
void (*g_crashHook)(int signal) = nullptr;

void AppendCapability(const char* name) {
    char* value = tigetstr(const_cast<char*>(name));
    if (!value || value == reinterpret_cast<char*>(-1))
        return;
    std::size_t length = std::strlen(value);
    if (g_leaveLength + length < sizeof g_leaveSequence) {
        std::memcpy(g_leaveSequence + g_leaveLength, value, length);
        g_leaveLength += length;
    }
}

void WriteAll(const char* bytes, std::size_t length) {
    while (length > 0) {
        ssize_t written = ::write(STDOUT_FILENO, bytes, length);
        if (written <= 0 && errno != EINTR)
            return;
        if (written > 0) {
            bytes += written;
            length -= static_cast<std::size_t>(written);
        }
    }
}

void OnEndingSignal(int signal) {
    int saved = errno;
    unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] ssize_t ignored = ::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

void OnCrash(int signal) {
    // Mouse reports off, then the sequences of the terminal description.
    const char kMouseOff[] = "\033[?1000l\033[?1002l\033[?1006l";
    WriteAll(kMouseOff, sizeof kMouseOff - 1);
    WriteAll(g_leaveSequence, g_leaveLength);
    if (g_haveSavedModes)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedModes);
    if (g_crashHook)
        g_crashHook(signal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void Install(int signal, void (*handler)(int)) {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // A crash handler runs once; the default action then ends the process.
    action.sa_flags = handler == OnCrash ? SA_RESETHAND : SA_RESTART;
    ::sigaction(signal, &action, nullptr);
}

void InstallAll(EndingSignal::Kind kind, void (*handler)(int)) {
    for (const EndingSignal* entry = kEndingSignals; entry->name; ++entry)
        if (entry->kind == kind)
            Install(entry->number, handler);
}

void DefaultAll(EndingSignal::Kind kind) {
    for (const EndingSignal* entry = kEndingSignals; entry->name; ++entry)
        if (entry->kind == kind)
            std::signal(entry->number, SIG_DFL);
}

} // namespace

bool TerminalUsable() {
    if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO))
        return false;
    // initscr would end the process over a type it does not know.
    int status = 0;
    if (setupterm(nullptr, STDOUT_FILENO, &status) != OK)
        return false;
    del_curterm(cur_term);
    cur_term = nullptr;
    return true;
}

bool OpenTerminal(std::string* error) {
    if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO)) {
        *error = "standard input and output are not a terminal";
        return false;
    }
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    g_haveSavedModes = ::tcgetattr(STDIN_FILENO, &g_savedModes) == 0;
    // Before initscr, so that ncurses leaves the size changes to us.
    InstallAll(EndingSignal::Request, OnEndingSignal);
    Install(SIGWINCH, OnEndingSignal);
    if (!initscr()) {
        *error = "cannot set up the terminal";
        return false;
    }
    g_open = true;
    AppendCapability("rmkx");
    AppendCapability("rmcup");
    AppendCapability("cnorm");
    AppendCapability("sgr0");
    InstallAll(EndingSignal::Crash, OnCrash);
    cbreak();
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    // Alt+F4 as xterm and tmux send it, whatever the terminal's description
    // says; ncurses numbers Alt with a function key from F49 on.
    define_key("\033[1;3S", KEY_F(52));
    nodelay(stdscr, TRUE);
    set_escdelay(25);
    curs_set(0);
    // Releases too, though only a press clicks: a report outside the mask
    // makes ncurses read on for one inside it, blocking, until the next key.
    mousemask(BUTTON1_PRESSED | BUTTON1_RELEASED, nullptr);
    mouseinterval(0);
    // Ctrl-S and Ctrl-Q are no flow control here: Ctrl-C stays the way out.
    struct termios modes;
    if (::tcgetattr(STDIN_FILENO, &modes) == 0) {
        modes.c_iflag &= ~static_cast<tcflag_t>(IXON);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &modes);
    }
    return true;
}

void CloseTerminal() {
    if (!g_open)
        return;
    g_open = false;
    mousemask(0, nullptr);
    curs_set(1);
    endwin();
    if (g_haveSavedModes)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedModes);
    // Past here no loop reads the signals, and nothing is left to give back.
    DefaultAll(EndingSignal::Crash);
    DefaultAll(EndingSignal::Request);
}

void SetCrashHook(void (*hook)(int signal)) {
    g_crashHook = hook;
}

void TerminalSize(int* width, int* height) {
    getmaxyx(stdscr, *height, *width);
}

void ShowCanvas(const Canvas& canvas) {
    int width = 0, height = 0;
    TerminalSize(&width, &height);
    for (int y = 0; y < canvas.Height() && y < height; ++y) {
        move(y, 0);
        for (int x = 0; x < canvas.Width() && x < width; ++x) {
            const Cell& cell = canvas.At(x, y);
            chtype attributes = A_NORMAL;
            if (cell.attr & kReverse)
                attributes |= A_REVERSE;
            if (cell.attr & kDim)
                attributes |= A_DIM;
            if (cell.attr & kBold)
                attributes |= A_BOLD;
            if (cell.attr & kUnderline)
                attributes |= A_UNDERLINE;
            chtype ch;
            switch (cell.ch) {
            case kHLine:
                ch = ACS_HLINE;
                break;
            case kVLine:
                ch = ACS_VLINE;
                break;
            case kTopLeft:
                ch = ACS_ULCORNER;
                break;
            case kTopRight:
                ch = ACS_URCORNER;
                break;
            case kBottomLeft:
                ch = ACS_LLCORNER;
                break;
            case kBottomRight:
                ch = ACS_LRCORNER;
                break;
            default:
                ch = static_cast<unsigned char>(cell.ch) >= 0x20 &&
                             static_cast<unsigned char>(cell.ch) < 0x7F
                         ? static_cast<unsigned char>(cell.ch)
                         : '?';
            }
            addch(ch | attributes);
        }
    }
    refresh();
}

std::vector<InputEvent> WaitForInput(std::chrono::steady_clock::time_point until) {
    std::vector<InputEvent> events;
    struct pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}};
    struct timespec timeout {};
    bool endless = until == std::chrono::steady_clock::time_point::max();
    if (!endless) {
        auto left = std::max(until - std::chrono::steady_clock::now(),
                             std::chrono::steady_clock::duration::zero());
        auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timeout.tv_sec = static_cast<time_t>(ns / 1000000000);
        timeout.tv_nsec = static_cast<long>(ns % 1000000000);
    }
    if (::ppoll(fds, 2, endless ? nullptr : &timeout, nullptr) <= 0)
        return events;
    unsigned char signals[16];
    ssize_t got;
    while ((got = ::read(g_signalPipe[0], signals, sizeof signals)) > 0)
        for (ssize_t i = 0; i < got; ++i) {
            InputEvent event;
            if (signals[i] == SIGWINCH) {
                struct winsize size;
                if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0)
                    resizeterm(size.ws_row, size.ws_col);
                event.kind = InputEvent::Resize;
            } else {
                event.kind = InputEvent::Signal;
                event.code = signals[i];
            }
            events.push_back(event);
        }
    int ch;
    while ((ch = getch()) != ERR) {
        InputEvent event;
        if (ch == KEY_MOUSE) {
            MEVENT mouse;
            if (getmouse(&mouse) != OK)
                continue;
            // A press clicks; so does a release whose press ncurses dropped,
            // as it may when the two come close together.
            bool press = mouse.bstate & BUTTON1_PRESSED;
            bool unpairedRelease = (mouse.bstate & BUTTON1_RELEASED) && !g_buttonDown;
            g_buttonDown = press;
            if (!press && !unpairedRelease)
                continue;
            event.kind = InputEvent::Mouse;
            event.x = mouse.x;
            event.y = mouse.y;
        } else if (ch == KEY_RESIZE) {
            event.kind = InputEvent::Resize;
        } else if (ch == 27) {
            // Alt and a key come as Escape directly followed by the key.
            int next = getch();
            event.alt = next != ERR;
            event.code = next != ERR ? next : 27;
        } else {
            event.code = ch;
        }
        events.push_back(event);
    }
    return events;
}

} // namespace hosted::term
