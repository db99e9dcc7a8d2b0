#pragma once
// Fakes for the link tests: a module whose line waveform is scripted read by read, a platform
// with a stepping clock, and a reader of the entries in the log ring.

#include "link/CIOModul.h"
#include "link/Platform.h"
#include "link/PortIo.h"
#include "support/TestFiles.h"

#include <cstdint>
#include <unistd.h>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A usable module at 0x378 (version 3 or 4) whose clock and data lines follow a script: each
// segment holds the lines for a number of status reads. After the script the clock stays high.
class CScriptedPort final : public PortIo {
public:
    struct Segment {
        int32_t nReads;
        bool bClock;
        bool bData;
    };
    explicit CScriptedPort(int32_t nVersion = 3, bool bSimulated = false)
        : m_bSimulated(bSimulated), m_nVersion(nVersion)
    {
    }
    ELinkKind GetKind() const override { return m_bSimulated ? ELinkKind::Simulated : ELinkKind::Direct; }

    void Load(std::vector<Segment> script)
    {
        m_Script = std::move(script);
        m_nSegment = 0;
        m_nUsed = 0;
        m_nStatusReads = 0;
        m_DataOutLine.clear();
    }

    uint8_t In(uint16_t nAddress) override
    {
        if (nAddress == 0x378)
            return m_nData;
        if (nAddress == 0x37A)
            return m_nControl;
        if (nAddress != 0x379)
            return 0xFF;
        ++m_nStatusReads;
        bool bClock = true;
        bool bData = false;
        if (m_nSegment < m_Script.size()) {
            bClock = m_Script[m_nSegment].bClock;
            bData = m_Script[m_nSegment].bData;
            if (++m_nUsed >= m_Script[m_nSegment].nReads) {
                ++m_nSegment;
                m_nUsed = 0;
            }
        }
        uint8_t nStatus = static_cast<uint8_t>((bClock ? 0x10 : 0) | (bData ? 0x20 : 0));
        if (m_nVersion == 4)
            nStatus ^= 0x30;
        if (m_nData & 0x80)
            nStatus |= 0x40;
        if ((m_nVersion == 3 && !(m_nData & 0x40)) || (m_nVersion == 4 && !(m_nData & 0x20)))
            nStatus |= 0x80;
        return nStatus;
    }

    void Out(uint16_t nAddress, uint8_t nValue) override
    {
        if (nAddress == 0x378)
            m_nData = nValue;
        if (nAddress == 0x37A) {
            // Record the data-to-console line each time the control register is written.
            m_DataOutLine.push_back((nValue & 0x02) ? 0 : 1);
            m_nControl = nValue;
        }
    }

    int64_t m_nStatusReads = 0;
    std::vector<int> m_DataOutLine;

private:
    bool m_bSimulated;
    int32_t m_nVersion;
    uint8_t m_nData = 0;
    uint8_t m_nControl = 0x0C;
    std::vector<Segment> m_Script;
    size_t m_nSegment = 0;
    int32_t m_nUsed = 0;
};

class CFakePlatform final : public IPlatform {
public:
    void SetPriorityClass(uint32_t nClass) override { m_Classes.push_back(nClass); }
    void SetThreadTimeCritical(bool bCritical) override { m_Critical.push_back(bCritical); }
    int64_t MilliClock() override
    {
        const int64_t t = m_nNow;
        m_nNow += m_nStep;
        return t;
    }
    std::vector<uint32_t> m_Classes;
    std::vector<bool> m_Critical;
    int64_t m_nNow = 1000;
    int64_t m_nStep = 9;
};

// The retained log as (handle, parameter) pairs, oldest first, without the ring's fill bytes.
inline std::vector<std::pair<int, int64_t>> LogEntries(const CLogStore& log)
{
    std::vector<std::pair<int, int64_t>> entries;
    int32_t nPos = log.GetOldestPos();
    const uint8_t* pRing = log.GetLogBuffer();
    while (nPos != log.GetWritePos()) {
        const uint8_t nHandle = pRing[nPos];
        nPos = (nPos + 1) % CLogStore::LOG_RING_SIZE;
        int64_t nParam = 0;
        const int32_t nBytes = log.GetParamBytes(nHandle);
        for (int32_t b = 0; b < nBytes; ++b) {
            nParam |= static_cast<int64_t>(pRing[nPos]) << (8 * b);
            nPos = (nPos + 1) % CLogStore::LOG_RING_SIZE;
        }
        if (nHandle != CLogStore::LOG_FILL_BYTE)
            entries.emplace_back(nHandle, nParam);
    }
    return entries;
}

// Owns a CIOModul whose log file lives in a scratch folder that goes away afterwards.
class CTestModul {
public:
    explicit CTestModul(std::shared_ptr<PortIo> pPort = nullptr, std::shared_ptr<IPlatform> pPlatform = nullptr)
        : m_Path(m_Folder / "Tarvo.log"), m_pModul(std::make_unique<CIOModul>(std::move(pPort), std::move(pPlatform)))
    {
        m_pModul->SetLogfilePath(m_Path);
        m_pModul->InitLog();
    }
    ~CTestModul()
    {
        m_pModul.reset();  // saves the log once more, before the folder goes
    }
    CIOModul* operator->() { return m_pModul.get(); }
    CIOModul& operator*() { return *m_pModul; }
    void Destroy() { m_pModul.reset(); }
    const std::filesystem::path& Path() const { return m_Path; }

private:
    CScratchFolder m_Folder{"quillomat-link"};
    std::filesystem::path m_Path;
    std::unique_ptr<CIOModul> m_pModul;
};
