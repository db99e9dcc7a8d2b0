#include "reception/ReceptionState.h"

#include <cstring>

CReceptionState::CReceptionState()
{
    std::memset(this, 0, sizeof(*this));
}

void CReceptionState::ClearKept()
{
    for (CBlock& block : m_Blocks) {
        block.m_nHow = BLOCK_FROM_LINE;
        block.m_nCopies = 0;
    }
    m_bPrintAfterData = false;
    m_nBlockCount = 0;
    m_nMaxBlockCount = 0;
    m_nMaxByteCount = 0;
    m_nByteCount = 0;
    m_nPackedCount = 0;
    m_nPlainCount = 0;
    m_Series.Clear();
}
