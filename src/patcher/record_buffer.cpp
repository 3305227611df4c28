#include "patcher/record_buffer.h"

#include <cstdlib>

namespace {

const std::size_t kInitialSize = 256;

} // namespace

CRecordBuffer::CRecordBuffer()
    : m_pData(static_cast<BYTE*>(std::malloc(kInitialSize))), m_nSize(m_pData ? kInitialSize : 0) {}

CRecordBuffer::~CRecordBuffer() {
    std::free(m_pData);
}

bool CRecordBuffer::Fill(FILE* source, DWORD length) {
    std::size_t filled = 0;
    while (filled < length) {
        if (filled == m_nSize && !Grow(length))
            return false;
        std::size_t wanted = (m_nSize < length ? m_nSize : length) - filled;
        std::size_t got = std::fread(m_pData + filled, 1, wanted, source);
        filled += got;
        if (got < wanted)
            return false;
    }
    return true;
}

// The buffer doubles only once the bytes it holds have really arrived: a
// damaged header can announce up to 4 GiB with a few bytes behind it, and
// that must cost no more memory than the bytes that are there.
bool CRecordBuffer::Grow(DWORD length) {
    std::size_t size = m_nSize > length / 2 ? length : m_nSize * 2;
    BYTE* data = static_cast<BYTE*>(std::realloc(m_pData, size));
    if (data == nullptr)
        return false;
    m_pData = data;
    m_nSize = size;
    return true;
}
