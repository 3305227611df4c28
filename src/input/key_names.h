// The name of every key of the DirectInput keyboard, by scan code (the DIK_
// code, which is also the key's index in the 256-byte keyboard state).
#pragma once

// Each entry is NUL-padded to 12 bytes; a key without a name is all zeros.
// Letters are named by their lower-case letter, digits and punctuation by
// their own character, the other keys by upper-case abbreviations.
extern const char KeyNameTable[256][12];
