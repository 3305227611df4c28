#include "input/key_chord.h"

#include <cstring>

#include "input/key_names.h"

namespace {

const std::size_t kMaxChordText = 255;

// Every key of the keyboard down at once, each name with its blank.
const std::size_t kNewNamesCapacity = 256 * 12;

} // namespace

CKeyChord::CKeyChord() {
    m_strChord.reserve(kMaxChordText + 1);
    m_strNewNames.reserve(kNewNamesCapacity);
    Reset();
}

void CKeyChord::Reset() {
    std::memset(m_dwDown, 0, sizeof m_dwDown);
    m_nDownCount = 0;
    m_bLastWasPress = TRUE;
    m_strChord.clear();
}

bool CKeyChord::Step(const BYTE keyState[256], char out[256]) {
    m_strNewNames.clear();
    for (int code = 0; code < 256; ++code) {
        if (keyState[code]) {
            if (!m_dwDown[code]) {
                m_dwDown[code] = 1;
                ++m_nDownCount;
                m_bLastWasPress = TRUE;
                // A key without a name still leaves its blank behind.
                m_strNewNames += KeyNameTable[code];
                m_strNewNames += ' ';
            }
        } else if (m_dwDown[code]) {
            m_dwDown[code] = 0;
            --m_nDownCount;
            m_bLastWasPress = FALSE;
        }
    }
    if (m_bLastWasPress) {
        m_strChord += m_strNewNames;
        return false;
    }
    if (m_nDownCount != 0)
        return false;

    if (!m_strChord.empty())
        m_strChord.pop_back(); // the blank after the last name
    std::size_t length = m_strChord.size() < kMaxChordText ? m_strChord.size() : kMaxChordText;
    std::memcpy(out, m_strChord.data(), length);
    std::memset(out + length, 0, 256 - length);
    Reset();
    return true;
}
