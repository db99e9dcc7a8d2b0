#pragma once
// The simulated link module on a printer port: data, status and control registers at one base.
// D7 loops back to status bit 6; status bit 7 follows D6 inverted (version 3) or D5 inverted
// (version 4); a version-2 module answers neither; version 0 is no module at all (every address
// reads 0xFF). The cable's two console lines, the clock and the console's data bit, show in
// status bits 4 and 5, inverted on a version-4 module; the printer's bit leaves on Auto Feed,
// which the port inverts at the connector.
//
// Without a console on its cable the module shows the lines an idle console leaves: the clock
// high, the data bit 0.

#include "link/PortIo.h"
#include "link/PortRegisters.h"

#include <cstdint>

class CSimModule final : public PortIo {
public:
    CSimModule(int32_t nVersion, uint16_t nBase);

    uint8_t In(uint16_t nAddress) override
    {
        if (!m_bPresent)
            return 0xFF;
        if (nAddress == m_nBase + STATUS_REGISTER)
            return GetStatus();
        if (nAddress == m_nBase + DATA_REGISTER)
            return m_nData;
        if (nAddress == m_nBase + CONTROL_REGISTER)
            return m_nControl;
        return 0xFF;
    }
    void Out(uint16_t nAddress, uint8_t nValue) override;
    ELinkKind GetKind() const override { return ELinkKind::Simulated; }

    bool IsPresent() const { return m_bPresent; }
    uint16_t GetStatusAddress() const { return static_cast<uint16_t>(m_nBase + STATUS_REGISTER); }
    // What the status register reads (of a module that is present).
    uint8_t GetStatus() const { return static_cast<uint8_t>(m_nLineBits | m_nLoopBits); }

    // The console's end of the cable: it drives the clock and its data bit ...
    void SetConsoleLines(bool bClock, bool bDataBit);
    // ... and samples the printer's bit (Auto Feed cleared = 1).
    bool GetPrinterBit() const { return (m_nControl & CONTROL_DATA_OUT) == 0; }

private:
    void UpdateLoopBack();

    int32_t m_nVersion;
    uint16_t m_nBase;
    bool m_bPresent;
    uint8_t m_nData = 0x00;
    uint8_t m_nControl = 0x0C;
    uint8_t m_nLineBits = 0;  // the console's lines as the status register shows them
    uint8_t m_nLoopBits = 0;  // the loop-back bits and those a quiet port reads as 1
};
