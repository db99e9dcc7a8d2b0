#pragma once
// A console on a script: every exchange takes the next scripted byte (with the mark and status
// flags the exchange should leave) and records what the printer sent. After the script the
// line is silent: 0 with a time-out.
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "link/CIOModul.h"
#include "link/IPrinterLink.h"

struct CScriptedByte {
    uint8_t nValue = 0;
    int32_t nMark = 0;
    uint32_t nStatus = 0;
};

class CFakePrinterLink : public IPrinterLink {
public:
    std::vector<CScriptedByte> m_Script;
    size_t m_nNext = 0;
    std::vector<uint8_t> m_Sent;
    std::vector<int32_t> m_PollLimits;
    std::vector<std::tuple<std::string, std::string, int32_t>> m_Handles;
    uint32_t m_nStatus = 0;
    int32_t m_nMark = 0;
    int m_nResets = 0;

    void Add(const std::vector<uint8_t>& bytes, int32_t nMark = 0, uint32_t nStatus = 0)
    {
        for (uint8_t b : bytes)
            m_Script.push_back({b, nMark, nStatus});
    }
    // Marks the scripted byte at index nIndex (counted from the start of the script).
    void SetMark(size_t nIndex, int32_t nMark, uint32_t nStatus = 0)
    {
        m_Script.at(nIndex).nMark = nMark;
        m_Script.at(nIndex).nStatus = nStatus;
    }
    size_t Exchanges() const { return m_Sent.size(); }

    uint8_t GetSetByteExtern(uint8_t nSendByte, int32_t nPollLimit) override
    {
        m_Sent.push_back(nSendByte);
        m_PollLimits.push_back(nPollLimit);
        if (m_nNext >= m_Script.size()) {
            m_nStatus = (m_nStatus & MODUL_NO_MODULE) | MODUL_TIMEOUT;
            m_nMark = 0;
            return 0;
        }
        const CScriptedByte& b = m_Script[m_nNext++];
        m_nStatus = (m_nStatus & MODUL_NO_MODULE) | b.nStatus;
        m_nMark = b.nMark;
        return b.nValue;
    }
    uint32_t GetModulStatus() const override { return m_nStatus; }
    int32_t GetLastMark() const override { return m_nMark; }
    void ResetExchangeState() override
    {
        m_nMark = 0;
        ++m_nResets;
    }
    uint8_t GetLogHandle(const std::string& strCode, const std::string& strDescription,
                         int32_t nParamBytes) override
    {
        m_Handles.emplace_back(strCode, strDescription, nParamBytes);
        return static_cast<uint8_t>(47 + m_Handles.size());
    }
};

// A packet as the console sends it, with a right or wrong checksum and the trailer 00 00.
inline std::vector<uint8_t> MakePacket(uint8_t nCommand, uint8_t nFlag, const std::vector<uint8_t>& data,
                                       int32_t nChecksumError = 0)
{
    std::vector<uint8_t> packet = {0x88, 0x33, nCommand, nFlag, static_cast<uint8_t>(data.size() & 0xFF),
                                   static_cast<uint8_t>(data.size() >> 8)};
    for (uint8_t b : data)
        packet.push_back(b);
    uint32_t nSum = 0;
    for (size_t i = 2; i < packet.size(); ++i)
        nSum += packet[i];
    nSum += static_cast<uint32_t>(nChecksumError);
    packet.push_back(static_cast<uint8_t>(nSum));
    packet.push_back(static_cast<uint8_t>(nSum >> 8));
    packet.push_back(0x00);
    packet.push_back(0x00);
    return packet;
}

inline std::vector<uint8_t> InitPacket() { return MakePacket(0x01, 0x00, {}); }
inline std::vector<uint8_t> StatusPacket() { return MakePacket(0x0F, 0x00, {}); }
inline std::vector<uint8_t> PrintPacket() { return MakePacket(0x02, 0x00, {0x01, 0x13, 0xE4, 0x40}); }
inline std::vector<uint8_t> DataPacket(const std::vector<uint8_t>& data, int32_t nChecksumError = 0)
{
    return MakePacket(0x04, 0x00, data, nChecksumError);
}
