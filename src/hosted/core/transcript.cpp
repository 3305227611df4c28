#include "core/transcript.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "core/clock.h"

namespace hosted {
namespace {

struct Transcript {
    std::mutex mutex;
    std::FILE* out = nullptr;
    long long start = 0;
    bool exitPending = false;
    int writeError = 0; // the first write that failed, as errno

    // A transcript with a line missing would pass for the whole run.
    void Check(bool written) {
        if (!written && writeError == 0)
            writeError = errno ? errno : EIO;
    }

    // Constructed before and so destroyed after the program's own statics:
    // "exit" is the last line, written once the program is wholly gone.
    ~Transcript() {
        if (out && exitPending) {
            int reported = writeError; // main has said so already
            Check(std::fprintf(out, "[%lld] exit\n", VirtualNow() - start) >= 0);
            Check(std::fflush(out) == 0);
            // Past main, so the exit code can only be had this way.
            if (writeError && !reported) {
                std::fprintf(stderr, "briskarn: cannot write the transcript: %s\n",
                             std::strerror(writeError));
                std::_Exit(2);
            }
        }
    }
};

__attribute__((init_priority(200))) Transcript g_transcript;

std::string Escape(const std::string& bytes) {
    std::string text;
    for (char c : bytes) {
        if (c == '\n')
            text += "\\n";
        else if (c == '\r')
            text += "\\r";
        else if (c == '\\')
            text += "\\\\";
        else
            text += c;
    }
    return text;
}

} // namespace

void OpenTranscript(std::FILE* out) {
    std::lock_guard<std::mutex> guard(g_transcript.mutex);
    g_transcript.out = out;
}

void SetTranscriptStart(long long now) {
    std::lock_guard<std::mutex> guard(g_transcript.mutex);
    g_transcript.start = now;
}

void TranscriptLine(const std::string& text) {
    std::lock_guard<std::mutex> guard(g_transcript.mutex);
    if (!g_transcript.out)
        return;
    g_transcript.Check(std::fprintf(g_transcript.out, "[%lld] %s\n",
                                    VirtualNow() - g_transcript.start, text.c_str()) >= 0);
    g_transcript.Check(std::fflush(g_transcript.out) == 0);
}

void TranscriptLog(const std::string& bytes) {
    TranscriptLine("log " + Escape(bytes));
}

void TranscriptExitAtProcessEnd() {
    std::lock_guard<std::mutex> guard(g_transcript.mutex);
    g_transcript.exitPending = true;
}

void FlushTranscript() {
    std::lock_guard<std::mutex> guard(g_transcript.mutex);
    if (g_transcript.out)
        g_transcript.Check(std::fflush(g_transcript.out) == 0);
}

int TranscriptWriteError() {
    std::lock_guard<std::mutex> guard(g_transcript.mutex);
    return g_transcript.writeError;
}

} // namespace hosted
