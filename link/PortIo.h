#pragma once
// Byte-wide access to the I/O addresses of a printer port, and what kind of link stands behind
// them.

#include <cstdint>

class IReprintUser;
class ISimulatedTime;

// What stands behind a port's addresses.
enum class ELinkKind {
    None,      // nothing answers: no printer port was found or given
    Ppdev,     // printer ports through the kernel's ppdev driver
    Direct,    // the port instructions on the standard bases (ioperm)
    Simulated, // the simulated module, with or without a console on its cable
};

class PortIo {
public:
    virtual ~PortIo() = default;
    virtual uint8_t In(uint16_t nAddress) = 0;
    virtual void Out(uint16_t nAddress, uint8_t nValue) = 0;
    virtual ELinkKind GetKind() const = 0;
    // A link whose other end runs in simulated time offers that clock; others return null.
    virtual ISimulatedTime* GetSimulatedTime() { return nullptr; }
    // A link with a simulated user at the console offers him, who prints again when asked;
    // others return null.
    virtual IReprintUser* GetReprintUser() { return nullptr; }
};

// A port where nothing answers: every address reads 0xFF, writes are ignored.
class CNoPortIo final : public PortIo {
public:
    uint8_t In(uint16_t) override { return 0xFF; }
    void Out(uint16_t, uint8_t) override {}
    ELinkKind GetKind() const override { return ELinkKind::None; }
};
