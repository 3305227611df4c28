#include "sim/run_end.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/format.h"
#include "core/transcript.h"
#include "sim/user_messages.h"

namespace hosted {
namespace {

std::atomic<void (*)()> g_hook{nullptr};
std::atomic<int> g_endingSignal{0};

} // namespace

void SetRunEndHook(void (*hook)()) {
    g_hook = hook;
}

void EndRun(int code, const std::string& message) {
    if (void (*hook)() = g_hook.load())
        hook();
    ShowHeldUserMessages();
    FlushTranscript();
    if (int error = TranscriptWriteError()) {
        std::fprintf(stderr, "briskarn: cannot write the transcript: %s\n", std::strerror(error));
        code = code == 0 ? 2 : code;
    }
    if (!message.empty())
        std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(stderr);
    std::_Exit(code);
}

void FailRun(int line, const std::string& reason) {
    EndRun(2,
           line > 0 ? Format("scenario line %d: %s", line, reason.c_str()) : "scenario: " + reason);
}

void NoteRunEndedBySignal(int signal) {
    g_endingSignal = signal;
}

int RunEndedBySignal() {
    return g_endingSignal;
}

} // namespace hosted
