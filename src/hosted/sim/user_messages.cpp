#include "sim/user_messages.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <unistd.h>

namespace hosted {
namespace {

// A fixed store, so that a crash handler can write it without allocating or
// locking: `length` is published after the bytes it covers. A few lines are
// ever said; one that does not fit is cut.
struct HeldMessages {
    std::mutex mutex;
    bool holding = false;
    char bytes[16384];
    std::atomic<std::size_t> length{0};
};

HeldMessages g_held;

void WriteOut(const char* bytes, std::size_t length) {
    while (length > 0) {
        ssize_t written = ::write(STDERR_FILENO, bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        bytes += written;
        length -= static_cast<std::size_t>(written);
    }
}

} // namespace

void TellUser(const std::string& line) {
    std::lock_guard<std::mutex> guard(g_held.mutex);
    if (!g_held.holding) {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
        return;
    }
    std::size_t at = g_held.length.load(std::memory_order_relaxed);
    std::size_t room = sizeof g_held.bytes - at;
    if (room == 0)
        return;
    std::size_t take = std::min(line.size(), room - 1);
    std::memcpy(g_held.bytes + at, line.data(), take);
    g_held.bytes[at + take] = '\n';
    g_held.length.store(at + take + 1, std::memory_order_release);
}

void HoldUserMessages() {
    std::lock_guard<std::mutex> guard(g_held.mutex);
    g_held.holding = true;
}

void ShowHeldUserMessages() {
    std::lock_guard<std::mutex> guard(g_held.mutex);
    std::fflush(stderr);
    WriteOut(g_held.bytes, g_held.length.load(std::memory_order_relaxed));
    g_held.length.store(0, std::memory_order_release);
    g_held.holding = false;
}

void ShowHeldUserMessagesInSignalHandler() {
    WriteOut(g_held.bytes, g_held.length.load(std::memory_order_acquire));
}

} // namespace hosted
