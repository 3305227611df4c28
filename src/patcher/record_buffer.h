// The one buffer that holds the data of the record being applied. It starts
// at 256 bytes, grows to the longest record read so far and never shrinks.
#pragma once

#include <cstddef>
#include <cstdio>

#include <windows.h>

class CRecordBuffer {
  public:
    CRecordBuffer();
    ~CRecordBuffer();
    CRecordBuffer(const CRecordBuffer&) = delete;
    CRecordBuffer& operator=(const CRecordBuffer&) = delete;

    // False when not even the first 256 bytes could be had.
    bool IsValid() const { return m_pData != nullptr; }
    // Reads exactly `length` bytes from `source` into the buffer; false when
    // the stream ends or fails first, or when the memory cannot be had.
    bool Fill(FILE* source, DWORD length);

    const BYTE* Data() const { return m_pData; }
    std::size_t Size() const { return m_nSize; }

  private:
    bool Grow(DWORD length);

    BYTE* m_pData;
    std::size_t m_nSize;
};
