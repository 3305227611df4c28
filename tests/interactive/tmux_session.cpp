#include "tmux_session.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>

namespace {

int g_sessions = 0;

std::string Output(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        std::size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, got);
        pclose(pipe);
    }
    return text;
}

template <typename Check> bool Within(Check check) {
    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < end) {
        if (check())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

} // namespace

TmuxSession::TmuxSession(const TempDir& dir, const std::string& arguments, int width, int height)
    : m_dir(dir),
      m_socket("briskarn-test-" + std::to_string(getpid()) + "-" + std::to_string(++g_sessions)) {
    // The shell notes the terminal's modes around the run and its exit code,
    // then stays, so that the screen can still be read. It catches Ctrl-C
    // and Ctrl-\ itself, as an interactive shell would, so that it goes on
    // after them.
    std::string script = "trap : INT QUIT\n"
                         "stty -g > modes-before.txt\n"
                         "sh -c 'echo $$ > briskarn.pid; exec \"$@\"' briskarn '" BRISKARN_EXE
                         "' " +
                         arguments +
                         " 2> errors.txt\n"
                         "echo $? > exit-code.txt\n"
                         "stty -g > modes-after.txt\n"
                         "echo run-ended\n"
                         "sleep 600\n";
    dir.Write("session.sh", script);
    Tmux("new-session -d -x " + std::to_string(width) + " -y " + std::to_string(height) + " -c '" +
         dir.path() + "' 'TERM=screen sh session.sh'");
}

TmuxSession::~TmuxSession() {
    Tmux("kill-server");
}

std::string TmuxSession::Tmux(const std::string& arguments) {
    return Output("tmux -f /dev/null -L " + m_socket + " " + arguments + " 2>&1");
}

void TmuxSession::Resize(int width, int height) {
    Tmux("resize-window -x " + std::to_string(width) + " -y " + std::to_string(height));
}

void TmuxSession::Signal(const std::string& name) {
    std::string pid = m_dir.Read("briskarn.pid");
    while (!pid.empty() && pid.back() == '\n')
        pid.pop_back();
    std::system(("kill -" + name + " " + pid).c_str());
}

void TmuxSession::SendKeys(const std::string& keys) {
    Tmux("send-keys " + keys);
}

void TmuxSession::Click(int x, int y) {
    Mouse(x, y, true);
    Mouse(x, y, false);
}

void TmuxSession::Mouse(int x, int y, bool press) {
    // X10 mouse encoding, the one the "screen" terminal description names;
    // each report on its own, as a terminal sends them.
    char column = static_cast<char>(33 + x), row = static_cast<char>(33 + y);
    char report[] = {'\033', '[', 'M', press ? ' ' : '#', column, row, 0};
    std::string path = m_dir.File("click.bin");
    m_dir.Write("click.bin", report);
    Tmux("load-buffer -b click '" + path + "'");
    Tmux("paste-buffer -d -b click");
}

std::string TmuxSession::Capture() {
    // With its attributes, so that line-drawing cells (between Shift Out and
    // Shift In) can be told from letters; they come back as '-', '|', '+'.
    std::string raw = Tmux("capture-pane -p -e"), screen;
    bool lines = false;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        if (c == '\016' || c == '\017') {
            lines = c == '\016';
        } else if (c == '\033') {
            // An attribute sequence: ESC [ ... final letter, or ESC ( X.
            if (i + 1 < raw.size() && raw[i + 1] == '[') {
                i += 2;
                while (i < raw.size() && !std::isalpha(static_cast<unsigned char>(raw[i])))
                    ++i;
            } else {
                i += 2;
            }
        } else if (lines && c == 'q') {
            screen += '-';
        } else if (lines && c == 'x') {
            screen += '|';
        } else if (lines && (c == 'l' || c == 'k' || c == 'm' || c == 'j')) {
            screen += '+';
        } else {
            screen += c;
        }
    }
    return screen;
}

bool TmuxSession::WaitFor(const std::string& text) {
    return Within([&] { return Capture().find(text) != std::string::npos; });
}

bool TmuxSession::WaitForGone(const std::string& text) {
    return Within([&] { return Capture().find(text) == std::string::npos; });
}

int TmuxSession::WaitForExit() {
    if (!Within([&] {
            return m_dir.Exists("modes-after.txt") && !m_dir.Read("modes-after.txt").empty();
        }))
        return -1;
    return std::atoi(m_dir.Read("exit-code.txt").c_str());
}

std::string TmuxSession::PaneFormat(const std::string& format) {
    std::string value = Tmux("display-message -p '" + format + "'");
    while (!value.empty() && value.back() == '\n')
        value.pop_back();
    return value;
}

bool TmuxSession::ModesRestored() {
    return m_dir.Read("modes-before.txt") == m_dir.Read("modes-after.txt") &&
           PaneFormat("#{alternate_on}#{mouse_any_flag}#{cursor_flag}#{keypad_cursor_flag}"
                      "#{keypad_flag}") == "00100";
}
