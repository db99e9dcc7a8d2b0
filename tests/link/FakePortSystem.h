#pragma once
// A system-call layer that records what the hardware backends ask of it.

#include "link/PortSystem.h"

#include <linux/ppdev.h>
#include <map>
#include <set>
#include <sys/ioctl.h>

class CFakePortSystem final : public IPortSystem {
public:
    struct Call {
        int nFd;
        unsigned long nRequest;
        int nValue; // the byte or int passed in, or -1
        friend bool operator==(const Call&, const Call&) = default;
    };
    std::map<std::string, int> m_Devices;           // path -> fd; others fail to open
    std::map<std::string, std::string> m_OpenErrors; // path -> the reason its open fails
    std::set<std::string> m_Unclaimable;
    std::map<std::string, std::string> m_Files;
    std::vector<std::string> m_DevEntries;
    std::set<unsigned long> m_IopermAllowed;        // bases that ioperm grants
    std::vector<Call> m_Calls;
    std::vector<int> m_Closed;
    std::map<uint16_t, uint8_t> m_Ports;            // what inb reads
    std::vector<std::pair<uint16_t, uint8_t>> m_Outb;
    uint8_t m_nStatus = 0x5F, m_nControl = 0xC4, m_nData = 0x3A;

    int Open(const std::string& strPath) override
    {
        if (auto error = m_OpenErrors.find(strPath); error != m_OpenErrors.end()) {
            m_strError = error->second;
            return -1;
        }
        auto it = m_Devices.find(strPath);
        m_strError = "No such file or directory";
        return it == m_Devices.end() ? -1 : it->second;
    }
    void Close(int nFd) override { m_Closed.push_back(nFd); }
    int Ioctl(int nFd, unsigned long nRequest, void* pArg) override
    {
        int nValue = -1;
        if (nRequest == PPWDATA || nRequest == PPWCONTROL)
            nValue = *static_cast<unsigned char*>(pArg);
        if (nRequest == PPDATADIR)
            nValue = *static_cast<int*>(pArg);
        m_Calls.push_back({nFd, nRequest, nValue});
        if (nRequest == PPCLAIM)
            for (const auto& [strPath, nDeviceFd] : m_Devices)
                if (nDeviceFd == nFd && m_Unclaimable.count(strPath)) {
                    m_strError = "Device or resource busy";
                    return -1;
                }
        if (nRequest == PPRSTATUS)
            *static_cast<unsigned char*>(pArg) = m_nStatus;
        if (nRequest == PPRCONTROL)
            *static_cast<unsigned char*>(pArg) = m_nControl;
        if (nRequest == PPRDATA)
            *static_cast<unsigned char*>(pArg) = m_nData;
        return 0;
    }
    int Ioperm(unsigned long nFrom, unsigned long, int nOn) override
    {
        if (nOn && !m_IopermAllowed.count(nFrom)) {
            m_strError = "Operation not permitted";
            return -1;
        }
        return 0;
    }
    uint8_t Inb(uint16_t nAddress) override { return m_Ports[nAddress]; }
    void Outb(uint16_t nAddress, uint8_t nValue) override { m_Outb.emplace_back(nAddress, nValue); }
    std::optional<std::string> ReadTextFile(const std::string& strPath) override
    {
        auto it = m_Files.find(strPath);
        if (it == m_Files.end())
            return std::nullopt;
        return it->second;
    }
    std::vector<std::string> ListDir(const std::string& strPath) override
    {
        return strPath == "/dev" ? m_DevEntries : std::vector<std::string>{};
    }
    std::string LastError() const override { return m_strError; }

private:
    std::string m_strError;
};
