// The keyboard chord: the keys pressed while at least one key stays down,
// written as their names separated by blanks, finished when the last key
// goes up. Fed one keyboard read at a time by the input worker.
#pragma once

#include <string>

#include <windows.h>

class CKeyChord {
  public:
    CKeyChord();

    // Takes one read of the keyboard (a nonzero byte: key down). When the
    // read completes the chord, fills all 256 bytes of out with its text, cut
    // to 255 characters and NUL-padded, starts afresh and returns true; the
    // text goes to the main window as "KVDI_KEYSTROKE". Otherwise out is left
    // as it was.
    //
    // A read whose last change in scan-code order is a release gathers none
    // of the keys newly down in it; a key pressed again while the chord is
    // open is gathered again.
    bool Step(const BYTE keyState[256], char out[256]);

  private:
    void Reset();

    DWORD m_dwDown[256];
    LONG m_nDownCount;
    BOOL m_bLastWasPress;
    // Cleared, never shrunk, between chords: once a chord of the usual length
    // has been seen, a step allocates nothing.
    std::string m_strChord;
    std::string m_strNewNames;
};
