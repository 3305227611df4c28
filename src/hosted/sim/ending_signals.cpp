#include "sim/ending_signals.h"

#include <csignal>
#include <cstring>

namespace hosted {

// Those whose default action ends the process; SIGTRAP too, which does when
// no debugger takes it.
const EndingSignal kEndingSignals[] = {
    {SIGINT, "INT", EndingSignal::Request},       {SIGTERM, "TERM", EndingSignal::Request},
    {SIGHUP, "HUP", EndingSignal::Request},       {SIGQUIT, "QUIT", EndingSignal::Request},
    {SIGPIPE, "PIPE", EndingSignal::Request},     {SIGUSR1, "USR1", EndingSignal::Request},
    {SIGUSR2, "USR2", EndingSignal::Request},     {SIGALRM, "ALRM", EndingSignal::Request},
    {SIGVTALRM, "VTALRM", EndingSignal::Request}, {SIGPROF, "PROF", EndingSignal::Request},
    {SIGIO, "IO", EndingSignal::Request},         {SIGPWR, "PWR", EndingSignal::Request},
    {SIGSEGV, "SEGV", EndingSignal::Crash},       {SIGBUS, "BUS", EndingSignal::Crash},
    {SIGFPE, "FPE", EndingSignal::Crash},         {SIGILL, "ILL", EndingSignal::Crash},
    {SIGABRT, "ABRT", EndingSignal::Crash},       {SIGSYS, "SYS", EndingSignal::Crash},
    {SIGTRAP, "TRAP", EndingSignal::Crash},       {SIGXCPU, "XCPU", EndingSignal::Crash},
    {SIGXFSZ, "XFSZ", EndingSignal::Crash},       {SIGKILL, "KILL", EndingSignal::Uncaught},
    {0, nullptr, EndingSignal::Request},
};

const EndingSignal* FindEndingSignal(const char* name) {
    for (const EndingSignal* entry = kEndingSignals; entry->name; ++entry)
        if (std::strcmp(entry->name, name) == 0)
            return entry;
    return nullptr;
}

const EndingSignal* FindEndingSignal(int number) {
    for (const EndingSignal* entry = kEndingSignals; entry->name; ++entry)
        if (entry->number == number)
            return entry;
    return nullptr;
}

} // namespace hosted
