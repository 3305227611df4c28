// The order in which the program's static objects are built. They live in
// several files, whose order the language leaves open, so each carries its
// rank (lower first); exit then runs their destructors in reverse, which
// tears the DirectInput manager down before the application object.
#pragma once

// The application object.
#define BRISKARN_STATIC_APP __attribute__((init_priority(1000)))
// The main dialog's copies of the engine's five registered messages.
#define BRISKARN_STATIC_DIALOG_MESSAGES __attribute__((init_priority(2000)))
// The DirectInput manager.
#define BRISKARN_STATIC_DI_MANAGER __attribute__((init_priority(3000)))
// The input engine's own copies of the five messages.
#define BRISKARN_STATIC_ENGINE_MESSAGES __attribute__((init_priority(4000)))
