#pragma once
// Byte-wide access to the I/O addresses of a printer port.

#include <cstdint>

class PortIo {
public:
    virtual ~PortIo() = default;
    virtual uint8_t In(uint16_t nAddress) = 0;
    virtual void Out(uint16_t nAddress, uint8_t nValue) = 0;
    // A simulated link runs in virtual time on the CPU; it must never be polled at a realtime
    // priority, which could freeze a small machine.
    virtual bool IsSimulated() const { return false; }
};

// A port where nothing answers: every address reads 0xFF, writes are ignored.
class CNoPortIo final : public PortIo {
public:
    uint8_t In(uint16_t) override { return 0xFF; }
    void Out(uint16_t, uint8_t) override {}
};
