#include "sim/message_watch.h"

#include <cstring>

#include "core/format.h"
#include "core/transcript.h"
#include "user/observers.h"

namespace hosted {
namespace {

// A keystroke carries its chord's text; the game-device messages carry a
// record that starts with the device number.
void TranscribeMessage(UINT message, WPARAM, LPARAM lParam) {
    std::string name = RegisteredMessageName(message);
    if (name.compare(0, 5, "KVDI_") != 0 || lParam == 0)
        return;
    if (name == "KVDI_KEYSTROKE") {
        TranscriptLine("message " + name + " \"" + reinterpret_cast<const char*>(lParam) + "\"");
        return;
    }
    DWORD device;
    std::memcpy(&device, reinterpret_cast<const void*>(lParam), sizeof device);
    TranscriptLine(Format("message %s %u", name.c_str(), device));
}

} // namespace

void WatchProgramMessages() {
    SetSentMessageObserver(&TranscribeMessage);
}

} // namespace hosted
