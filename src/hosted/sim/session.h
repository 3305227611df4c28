// A run driven one step at a time from outside a scenario file, as the
// terminal front end and the real-time benchmark drive it. Every step is a
// scenario line carried out as the runner carries it out, so writing the
// lines down gives a scenario that replays the run.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/steps.h"

namespace hosted {

class WallClockPacer;

class LiveSession {
  public:
    // Every step carried out is written to `recording` (null: nowhere) at
    // once, past any buffer: what a killed or crashed process leaves replays
    // to its last step. Written to a regular file, the recording ends with
    // a `signal KILL` step until the next line takes its place, since a
    // SIGKILL leaves no chance to write it then.
    explicit LiveSession(std::FILE* recording = nullptr);
    LiveSession(const LiveSession&) = delete;
    LiveSession& operator=(const LiveSession&) = delete;

    // Carries out one scenario line and waits until the machine is quiet.
    StepOutcome Do(const std::string& line, std::string* error);
    // Moves the virtual clock forward to `virtualMs` as `advance` does; the
    // advances between two other steps are recorded as one.
    StepOutcome AdvanceTo(std::int64_t virtualMs, std::string* error);
    // Advances the virtual clock to the wall clock's time now.
    StepOutcome CatchUp(const WallClockPacer& pacer, std::string* error);
    // Writes a comment line into the recording.
    void Note(const std::string& text);
    // Writes out the advance still pending: the recording as it stands is
    // whole, without the `signal KILL` it would end with.
    void Flush();
    // The errno of the first write to the recording that failed, or 0;
    // nothing more is written after it.
    int RecordingError() const { return m_error; }
    // Ends the recording with the advance pending and a `signal` step, from
    // a handler of that signal: only calls safe there.
    void RecordSignalInHandler(int signal);

  private:
    // Writes `text` where the recording ends, and the `signal KILL` after it.
    void Append(const std::string& text);
    void WritePendingAdvance();
    int m_fd = -1;
    bool m_regularFile = false;
    // Read by signal handlers on any thread.
    std::atomic<int> m_error{0};
    std::atomic<std::int64_t> m_pendingAdvance{0};
    std::atomic<long long> m_end{0}; // where the next line goes
};

// Virtual time that follows the wall clock: from Start() on, a virtual
// millisecond passes with every real one. The thread that calls Start() is
// the one that paces the clock, and its sleeps are made to end on time.
class WallClockPacer {
  public:
    using Clock = std::chrono::steady_clock;
    void Start(std::int64_t virtualNow, Clock::time_point wallNow = Clock::now());
    std::int64_t VirtualAt(Clock::time_point wall) const;
    Clock::time_point WallAt(std::int64_t virtualMs) const;
    // When the next blocked program thread is due, in wall time;
    // Clock::time_point::max() when none is.
    Clock::time_point NextDue() const;

  private:
    std::int64_t m_virtualStart = 0;
    Clock::time_point m_wallStart{};
};

} // namespace hosted
