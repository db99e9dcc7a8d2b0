#include "console/CSimModule.h"

namespace {
// Error, the reserved bits: a printer port with nothing to report reads them as 1.
constexpr uint8_t STATUS_IDLE_BITS = 0x07;
} // namespace

CSimModule::CSimModule(int32_t nVersion, uint16_t nBase)
    : m_nVersion(nVersion), m_nBase(nBase), m_bPresent(nVersion != 0)
{
    SetConsoleLines(true, false);
    UpdateLoopBack();
}

void CSimModule::Out(uint16_t nAddress, uint8_t nValue)
{
    if (!m_bPresent)
        return;
    if (nAddress == m_nBase + DATA_REGISTER) {
        m_nData = nValue;
        UpdateLoopBack();
    } else if (nAddress == m_nBase + CONTROL_REGISTER) {
        m_nControl = nValue;
    }
}

void CSimModule::SetConsoleLines(bool bClock, bool bDataBit)
{
    uint8_t nBits = static_cast<uint8_t>((bClock ? STATUS_CLOCK : 0) | (bDataBit ? STATUS_DATA_IN : 0));
    if (m_nVersion == 4)
        nBits ^= STATUS_CLOCK | STATUS_DATA_IN;
    m_nLineBits = nBits;
}

void CSimModule::UpdateLoopBack()
{
    uint8_t nBits = STATUS_IDLE_BITS;
    if (m_nData & 0x80)
        nBits |= STATUS_LOOP_D7;
    if ((m_nVersion == 3 && !(m_nData & 0x40)) || (m_nVersion == 4 && !(m_nData & 0x20)))
        nBits |= STATUS_LOOP_VERSION;
    m_nLoopBits = nBits;
}
