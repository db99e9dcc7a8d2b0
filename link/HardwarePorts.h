#pragma once
// Printer-port backends on real hardware: Linux ppdev and direct port instructions.

#include "common/Result.h"
#include "link/PortIo.h"
#include "link/PortSystem.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// /dev/parportN devices, each claimed with PPCLAIM and placed at one of the standard bases.
class CPpdevPortIo final : public PortIo {
public:
    explicit CPpdevPortIo(std::shared_ptr<IPortSystem> pSystem);
    ~CPpdevPortIo() override;
    CPpdevPortIo(const CPpdevPortIo&) = delete;
    CPpdevPortIo& operator=(const CPpdevPortIo&) = delete;

    // Opens and claims the device and maps it to its base address (from
    // /proc/sys/dev/parport/<name>/base-addr); a base outside 0x378, 0x278, 0x3BC, or one that
    // cannot be read, is mapped to the first standard base still free so the probe can find it.
    // Unreachable, with the reason, when the device cannot be opened or claimed or no base is free.
    CResult AddDevice(const std::string& strDevice);
    size_t GetDeviceCount() const { return m_Devices.size(); }
    uint16_t GetDeviceBase(size_t n) const { return m_Devices[n].nBase; }

    uint8_t In(uint16_t nAddress) override;
    void Out(uint16_t nAddress, uint8_t nValue) override;
    ELinkKind GetKind() const override { return ELinkKind::Ppdev; }

private:
    struct Device {
        int nFd = -1;
        uint16_t nBase = 0;
        bool bReverse = false; // control bit 5, which ppdev keeps apart from the control register
    };
    Device* Find(uint16_t nAddress, uint16_t& nRegister);

    std::shared_ptr<IPortSystem> m_pSystem;
    std::vector<Device> m_Devices;
};

// inb/outb on the three standard bases that ioperm grants.
class CDirectPortIo final : public PortIo {
public:
    explicit CDirectPortIo(std::shared_ptr<IPortSystem> pSystem);
    ~CDirectPortIo() override;
    CDirectPortIo(const CDirectPortIo&) = delete;
    CDirectPortIo& operator=(const CDirectPortIo&) = delete;

    // Asks for the three register ranges; Unreachable, with the reason, when not one was granted.
    CResult Open();

    uint8_t In(uint16_t nAddress) override;
    void Out(uint16_t nAddress, uint8_t nValue) override;
    ELinkKind GetKind() const override { return ELinkKind::Direct; }

private:
    bool Granted(uint16_t nAddress) const;

    std::shared_ptr<IPortSystem> m_pSystem;
    std::array<bool, 3> m_Granted{};
};

// The parport device names found in /dev, sorted (parport0, parport1, ...).
std::vector<std::string> FindParportDevices(IPortSystem& system);
