#include "link/HardwarePorts.h"

#include <algorithm>
#include <cstdlib>
#include <sys/ioctl.h>
#include <linux/ppdev.h>

namespace {
constexpr uint16_t STANDARD_BASES[3] = {0x378, 0x278, 0x3BC};
constexpr uint8_t CONTROL_REVERSE = 0x20;

int StandardBaseIndex(uint16_t nAddress)
{
    for (int n = 0; n < 3; ++n)
        if (nAddress >= STANDARD_BASES[n] && nAddress < STANDARD_BASES[n] + 3)
            return n;
    return -1;
}

std::string DeviceName(const std::string& strDevice)
{
    const size_t nSlash = strDevice.find_last_of('/');
    return nSlash == std::string::npos ? strDevice : strDevice.substr(nSlash + 1);
}
} // namespace

std::vector<std::string> FindParportDevices(IPortSystem& system)
{
    std::vector<std::string> names;
    for (const std::string& strName : system.ListDir("/dev")) {
        if (strName.size() > 7 && strName.compare(0, 7, "parport") == 0 &&
            std::all_of(strName.begin() + 7, strName.end(), [](char c) { return c >= '0' && c <= '9'; }))
            names.push_back("/dev/" + strName);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

// ---------------------------------------------------------------------------------------------

CPpdevPortIo::CPpdevPortIo(std::shared_ptr<IPortSystem> pSystem) : m_pSystem(std::move(pSystem)) {}

CPpdevPortIo::~CPpdevPortIo()
{
    for (Device& device : m_Devices) {
        m_pSystem->Ioctl(device.nFd, PPRELEASE, nullptr);
        m_pSystem->Close(device.nFd);
    }
}

CResult CPpdevPortIo::AddDevice(const std::string& strDevice)
{
    const int nFd = m_pSystem->Open(strDevice);
    if (nFd < 0)
        return CResult::Failure(EErrorKind::Unreachable, "cannot open " + strDevice + ": " + m_pSystem->LastError());
    if (m_pSystem->Ioctl(nFd, PPCLAIM, nullptr) != 0) {
        CResult refused =
            CResult::Failure(EErrorKind::Unreachable, "cannot claim " + strDevice + ": " + m_pSystem->LastError());
        m_pSystem->Close(nFd);
        return refused;
    }
    // base-addr holds the base and the extended base, e.g. "888\t1912".
    int nBase = -1;
    if (auto text = m_pSystem->ReadTextFile("/proc/sys/dev/parport/" + DeviceName(strDevice) + "/base-addr")) {
        char* pEnd = nullptr;
        const long nValue = std::strtol(text->c_str(), &pEnd, 0);
        if (pEnd != text->c_str())
            nBase = static_cast<int>(nValue);
    }
    auto taken = [&](uint16_t nCandidate) {
        return std::any_of(m_Devices.begin(), m_Devices.end(),
                           [&](const Device& d) { return d.nBase == nCandidate; });
    };
    uint16_t nMapped = 0;
    for (uint16_t nStandard : STANDARD_BASES)
        if (nBase == nStandard && !taken(nStandard))
            nMapped = nStandard;
    for (uint16_t nStandard : STANDARD_BASES)
        if (nMapped == 0 && !taken(nStandard))
            nMapped = nStandard;
    if (nMapped == 0) {
        m_pSystem->Ioctl(nFd, PPRELEASE, nullptr);
        m_pSystem->Close(nFd);
        return CResult::Failure(EErrorKind::Unreachable, "no free port base for " + strDevice);
    }
    Device device;
    device.nFd = nFd;
    device.nBase = nMapped;
    // Start in forward direction, so the control register's bit 5 reads as we left it.
    int nDir = 0;
    m_pSystem->Ioctl(nFd, PPDATADIR, &nDir);
    m_Devices.push_back(device);
    return CResult::Success();
}

CPpdevPortIo::Device* CPpdevPortIo::Find(uint16_t nAddress, uint16_t& nRegister)
{
    for (Device& device : m_Devices) {
        if (nAddress >= device.nBase && nAddress < device.nBase + 3) {
            nRegister = static_cast<uint16_t>(nAddress - device.nBase);
            return &device;
        }
    }
    return nullptr;
}

uint8_t CPpdevPortIo::In(uint16_t nAddress)
{
    uint16_t nRegister = 0;
    Device* pDevice = Find(nAddress, nRegister);
    if (!pDevice)
        return 0xFF;
    unsigned char nValue = 0xFF;
    switch (nRegister) {
    case 0:
        if (m_pSystem->Ioctl(pDevice->nFd, PPRDATA, &nValue) != 0)
            return 0xFF;
        return nValue;
    case 1:
        if (m_pSystem->Ioctl(pDevice->nFd, PPRSTATUS, &nValue) != 0)
            return 0xFF;
        return nValue;
    default:
        if (m_pSystem->Ioctl(pDevice->nFd, PPRCONTROL, &nValue) != 0)
            return 0xFF;
        // ppdev reports the four line bits only; the direction bit is ours to remember.
        nValue = static_cast<unsigned char>((nValue & ~CONTROL_REVERSE) |
                                            (pDevice->bReverse ? CONTROL_REVERSE : 0));
        return nValue;
    }
}

void CPpdevPortIo::Out(uint16_t nAddress, uint8_t nValue)
{
    uint16_t nRegister = 0;
    Device* pDevice = Find(nAddress, nRegister);
    if (!pDevice)
        return;
    unsigned char nByte = nValue;
    switch (nRegister) {
    case 0:
        m_pSystem->Ioctl(pDevice->nFd, PPWDATA, &nByte);
        break;
    case 1:
        break; // the status register is read-only
    default: {
        // ppdev masks the control register to its line bits; bit 5 goes through PPDATADIR.
        const bool bReverse = (nValue & CONTROL_REVERSE) != 0;
        if (bReverse != pDevice->bReverse) {
            int nDir = bReverse ? 1 : 0;
            if (m_pSystem->Ioctl(pDevice->nFd, PPDATADIR, &nDir) == 0)
                pDevice->bReverse = bReverse;
        }
        m_pSystem->Ioctl(pDevice->nFd, PPWCONTROL, &nByte);
        break;
    }
    }
}

// ---------------------------------------------------------------------------------------------

CDirectPortIo::CDirectPortIo(std::shared_ptr<IPortSystem> pSystem) : m_pSystem(std::move(pSystem)) {}

CDirectPortIo::~CDirectPortIo()
{
    for (int n = 0; n < 3; ++n)
        if (m_Granted[n])
            m_pSystem->Ioperm(STANDARD_BASES[n], 3, 0);
}

CResult CDirectPortIo::Open()
{
    bool bAny = false;
    for (int n = 0; n < 3; ++n) {
        m_Granted[n] = m_pSystem->Ioperm(STANDARD_BASES[n], 3, 1) == 0;
        bAny = bAny || m_Granted[n];
    }
    if (!bAny)
        return CResult::Failure(EErrorKind::Unreachable,
                                "ioperm refused: " + m_pSystem->LastError() + " (direct port access needs root on x86)");
    return CResult::Success();
}

bool CDirectPortIo::Granted(uint16_t nAddress) const
{
    const int n = StandardBaseIndex(nAddress);
    return n >= 0 && m_Granted[n];
}

uint8_t CDirectPortIo::In(uint16_t nAddress)
{
    return Granted(nAddress) ? m_pSystem->Inb(nAddress) : 0xFF;
}

void CDirectPortIo::Out(uint16_t nAddress, uint8_t nValue)
{
    if (Granted(nAddress))
        m_pSystem->Outb(nAddress, nValue);
}
