#pragma once
// A link module on port 0x378 with no console on its cable: D7 loops back to status bit 6,
// status bit 7 follows D6 inverted on a version-3 module (and nothing on a faulty one), the
// clock line stays where the idle console leaves it.
#include "link/PortIo.h"

class CFakeModulePort : public PortIo {
public:
    explicit CFakeModulePort(bool bVersionLoop = true) : m_bVersionLoop(bVersionLoop) {}

    uint8_t In(uint16_t nAddress) override
    {
        if (nAddress == BASE)
            return m_nData;
        if (nAddress == BASE + 1) {
            uint8_t nStatus = 0x10;  // clock high, data line 0
            if (m_nData & 0x80)
                nStatus |= 0x40;
            if (m_bVersionLoop && !(m_nData & 0x40))
                nStatus |= 0x80;
            return nStatus;
        }
        if (nAddress == BASE + 2)
            return m_nControl;
        return 0xFF;
    }
    void Out(uint16_t nAddress, uint8_t nValue) override
    {
        if (nAddress == BASE)
            m_nData = nValue;
        else if (nAddress == BASE + 2)
            m_nControl = nValue;
    }
    bool IsSimulated() const override { return true; }

private:
    static constexpr uint16_t BASE = 0x378;
    bool m_bVersionLoop;
    uint8_t m_nData = 0;
    uint8_t m_nControl = 0;
};
