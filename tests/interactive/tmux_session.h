// The hosted briskarn on a terminal of its own, as a person would run it:
// a tmux server with one window, driven by send-keys and read with
// capture-pane. The command runs in a shell that notes its exit code and
// the terminal's modes before and after.
#pragma once

#include <string>

#include "temp_dir.h"

class TmuxSession {
  public:
    // Runs `arguments` (shell words) of briskarn in `dir`, on a terminal of
    // width x height cells.
    TmuxSession(const TempDir& dir, const std::string& arguments, int width = 120, int height = 40);
    ~TmuxSession();
    TmuxSession(const TmuxSession&) = delete;
    TmuxSession& operator=(const TmuxSession&) = delete;

    // tmux key names, e.g. "Tab", "F4", "M-1", "Escape", or "-l TEXT".
    void SendKeys(const std::string& keys);
    // A click of the first mouse button on cell (x, y), as the terminal
    // reports it: the press, then the release.
    void Click(int x, int y);
    // The press or the release alone.
    void Mouse(int x, int y, bool press);
    // The screen as text, a line a row.
    std::string Capture();
    // Waits until the screen shows `text`; false after a few seconds.
    bool WaitFor(const std::string& text);
    // Waits until the screen no longer shows `text`.
    bool WaitForGone(const std::string& text);
    // Waits until briskarn has ended; its exit code, or -1 on the timeout.
    int WaitForExit();
    // Gives the terminal another size, as a person resizing its window.
    void Resize(int width, int height);
    // Sends briskarn the signal of that name, e.g. "TERM".
    void Signal(const std::string& name);
    // A tmux format of the pane, e.g. "#{alternate_on}".
    std::string PaneFormat(const std::string& format);
    // Whether the terminal's modes after the run are those before it.
    bool ModesRestored();

  private:
    std::string Tmux(const std::string& arguments);
    const TempDir& m_dir;
    std::string m_socket;
};
