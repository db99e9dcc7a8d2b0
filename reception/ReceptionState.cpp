#include "reception/ReceptionState.h"

#include <cstring>

CReceptionState::CReceptionState()
{
    std::memset(this, 0, sizeof(*this));
}

void CReceptionState::ClearKept()
{
    std::memset(m_BlockGood, 0, sizeof(m_BlockGood));
    std::memset(m_BlockHow, 0, sizeof(m_BlockHow));
    std::memset(m_nCopies, 0, sizeof(m_nCopies));
    m_bPrintAfterData = false;
    m_nBlockCount = 0;
    m_nMaxBlockCount = 0;
    m_nMaxByteCount = 0;
    m_nByteCount = 0;
    m_nPackedCount = 0;
    m_nPlainCount = 0;
    m_Series.Clear();
}
