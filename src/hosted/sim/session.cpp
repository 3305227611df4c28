#include "sim/session.h"

#include <cerrno>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/clock.h"
#include "core/machine.h"
#include "sim/ending_signals.h"
#include "sim/runner.h"
#include "sim/steps.h"

namespace hosted {

namespace {

// What a regular file's recording ends with between two lines: a SIGKILL
// leaves no chance to write it when it comes.
const char kKilled[] = "signal KILL\n";

// Writes all of `bytes` at `offset` (at the file's position when negative);
// the errno of the failure, or 0. Safe in a signal handler.
int WriteAllAt(int fd, const char* bytes, std::size_t length, long long offset) {
    while (length > 0) {
        ssize_t written = offset < 0 ? ::write(fd, bytes, length)
                                     : ::pwrite(fd, bytes, length, static_cast<off_t>(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : ENOSPC;
        bytes += written;
        length -= static_cast<std::size_t>(written);
        offset = offset < 0 ? offset : offset + written;
    }
    return 0;
}

// A line built without allocating, for a signal handler; it has room.
void AppendText(char* line, std::size_t* length, const char* text) {
    while (*text)
        line[(*length)++] = *text++;
}

void AppendNumber(char* line, std::size_t* length, std::int64_t value) {
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count > 0)
        line[(*length)++] = digits[--count];
}

} // namespace

LiveSession::LiveSession(std::FILE* recording) {
    if (!recording)
        return;
    // From here on the file is written past the stream's buffer.
    if (std::fflush(recording) != 0)
        m_error = errno ? errno : EIO;
    m_fd = ::fileno(recording);
    struct stat info;
    m_regularFile = ::fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode);
    if (m_regularFile)
        m_end = ::lseek(m_fd, 0, SEEK_CUR);
}

StepOutcome LiveSession::Do(const std::string& line, std::string* error) {
    std::vector<Step> steps = ParseScenario(line);
    if (steps.size() != 1) {
        *error = "not one step: '" + line + "'";
        return StepOutcome::Refused;
    }
    StepOutcome outcome = CarryOutStep(steps[0], error);
    // Recorded once it happened: a refused step changed nothing, and a replay
    // must not meet it.
    if (outcome != StepOutcome::Refused) {
        WritePendingAdvance();
        Append(line + "\n");
    }
    return outcome;
}

StepOutcome LiveSession::AdvanceTo(std::int64_t virtualMs, std::string* error) {
    std::int64_t now;
    {
        MachineLock lock = LockMachine();
        now = VirtualNow();
    }
    if (virtualMs <= now)
        return StepOutcome::Done;
    bool settled = AdvanceVirtualClock(virtualMs - now, error);
    // Counted once it happened, so that a crash meanwhile records no more
    // than the transcript shows.
    m_pendingAdvance += virtualMs - now;
    return settled ? StepOutcome::Done : StepOutcome::Stuck;
}

StepOutcome LiveSession::CatchUp(const WallClockPacer& pacer, std::string* error) {
    return AdvanceTo(pacer.VirtualAt(WallClockPacer::Clock::now()), error);
}

void LiveSession::Note(const std::string& text) {
    Append("# " + text + "\n");
}

void LiveSession::Append(const std::string& text) {
    if (m_fd < 0 || m_error)
        return;
    if (!m_regularFile) {
        m_error = WriteAllAt(m_fd, text.data(), text.size(), -1);
        return;
    }
    // The line in the place of the last `signal KILL`, which follows it
    // again: the file is never without an end that replays.
    std::string bytes = text + kKilled;
    long long at = m_end;
    m_error = WriteAllAt(m_fd, bytes.data(), bytes.size(), at);
    if (!m_error)
        m_end = at + static_cast<long long>(text.size());
}

void LiveSession::WritePendingAdvance() {
    std::int64_t advance = m_pendingAdvance.exchange(0);
    if (advance > 0)
        Append("advance " + std::to_string(advance) + "ms\n");
}

void LiveSession::Flush() {
    WritePendingAdvance();
    if (m_regularFile && !m_error && ::ftruncate(m_fd, static_cast<off_t>(m_end.load())) != 0)
        m_error = errno;
}

void LiveSession::RecordSignalInHandler(int signal) {
    const EndingSignal* ending = FindEndingSignal(signal);
    if (m_fd < 0 || m_error || !ending)
        return;
    char line[96];
    std::size_t length = 0;
    if (std::int64_t advance = m_pendingAdvance.load(); advance > 0) {
        AppendText(line, &length, "advance ");
        AppendNumber(line, &length, advance);
        AppendText(line, &length, "ms\n");
    }
    AppendText(line, &length, "signal ");
    AppendText(line, &length, ending->name);
    AppendText(line, &length, "\n");
    long long at = m_regularFile ? m_end.load() : -1;
    if (WriteAllAt(m_fd, line, length, at) != 0 || !m_regularFile)
        return;
    // What followed was the `signal KILL` this replaces, or longer.
    [[maybe_unused]] int truncated =
        ::ftruncate(m_fd, static_cast<off_t>(at + static_cast<long long>(length)));
}

void WallClockPacer::Start(std::int64_t virtualNow, Clock::time_point wallNow) {
    // The pacing thread's sleeps end when a timer is due; Linux would let
    // them run 50 us over by default, which every polled pass would wait.
    ::prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
    m_virtualStart = virtualNow;
    m_wallStart = wallNow;
}

std::int64_t WallClockPacer::VirtualAt(Clock::time_point wall) const {
    return m_virtualStart +
           std::chrono::duration_cast<std::chrono::milliseconds>(wall - m_wallStart).count();
}

WallClockPacer::Clock::time_point WallClockPacer::WallAt(std::int64_t virtualMs) const {
    return m_wallStart + std::chrono::milliseconds(virtualMs - m_virtualStart);
}

WallClockPacer::Clock::time_point WallClockPacer::NextDue() const {
    std::int64_t due;
    {
        MachineLock lock = LockMachine();
        due = NextDueTime();
    }
    return due < 0 ? Clock::time_point::max() : WallAt(due);
}

} // namespace hosted
