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
std::string g_machineName;
int g_machineLines = 0;

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

void NameMachineLines(const std::string& name, int lines) {
    g_machineName = name;
    g_machineLines = lines;
}

void FailRun(int line, const std::string& reason) {
    if (line > 0 && line <= g_machineLines)
        EndRun(2, Format("%s line %d: %s", g_machineName.c_str(), line, reason.c_str()));
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
