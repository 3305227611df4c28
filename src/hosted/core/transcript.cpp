#include "core/transcript.h"

#include <mutex>

#include "core/clock.h"

namespace hosted {
namespace {

struct Transcript {
    std::mutex mutex;
    std::FILE* out = nullptr;
    long long start = 0;
    bool exitPending = false;

    // Constructed before and so destroyed after the program's own statics:
    // "exit" is the last line, written once the program is wholly gone.
    ~Transcript() {
        if (out && exitPending) {
            std::fprintf(out, "[%lld] exit\n", VirtualNow() - start);
            std::fflush(out);
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
    std::fprintf(g_transcript.out, "[%lld] %s\n", VirtualNow() - g_transcript.start, text.c_str());
    std::fflush(g_transcript.out);
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
        std::fflush(g_transcript.out);
}

} // namespace hosted
