// What the simulated machine may watch of the user layer's traffic.
#pragma once

#include <string>

#include <windows.h>

namespace hosted {

// The name a registered message was first registered with; empty for any
// other message.
std::string RegisteredMessageName(UINT message);

// Called on the sending thread, machine lock held, for every registered
// message sent with SendMessageA before it is delivered; null for none.
using SentMessageObserver = void (*)(UINT message, WPARAM wParam, LPARAM lParam);
void SetSentMessageObserver(SentMessageObserver observer);

} // namespace hosted
