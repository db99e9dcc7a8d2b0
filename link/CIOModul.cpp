#include "link/CIOModul.h"

#include "link/PortRegisters.h"
#include "log/SystemHandles.h"


CIOModul::CIOModul(std::shared_ptr<PortIo> pPort, std::shared_ptr<IPlatform> pPlatform)
    : m_pPort(pPort ? std::move(pPort) : std::make_shared<CNoPortIo>()),
      m_pPlatform(pPlatform ? std::move(pPlatform) : DefaultPlatform())
{
    // Realtime scheduling only pays off, and is only safe, where a real line is busy-polled: never
    // for the simulated link (which would starve the machine) nor for a port where nothing answers.
    const ELinkKind eKind = m_pPort->GetKind();
    m_bRealtimeAllowed = eKind == ELinkKind::Ppdev || eKind == ELinkKind::Direct;
}

CIOModul::~CIOModul()
{
    // A store that never got its handle table would replace the previous session's log with
    // empty rows, and every later session would load them: such a store is not saved.
    if (IsLogSetUp())
        SaveLogfile();
    ResetPriorityClass();
}

// ---------------------------------------------------------------------------------------------
// Line primitives. Without a module they leave the port alone.

int CIOModul::SetStrobeLine(int nLevel)
{
    return SetControlLine(CONTROL_STROBE, nLevel);
}

int CIOModul::SetDataOutLine(int nBit)
{
    // The port inverts Auto Feed at the connector: a cleared bit puts a 1 on the line.
    return SetControlLine(CONTROL_DATA_OUT, nBit);
}

// Both control lines are driven by clearing their bit for a 1 and setting it for a 0; the
// whole shadow byte is written, so the other bits keep what the probe read.
int CIOModul::SetControlLine(uint8_t nMask, int nLevel)
{
    if (m_nModulStatus & MODUL_NO_MODULE)
        return 0;
    if (nLevel)
        m_nControlShadow &= static_cast<uint8_t>(~nMask);
    else
        m_nControlShadow |= nMask;
    m_pPort->Out(static_cast<uint16_t>(m_nPortBase + CONTROL_REGISTER), m_nControlShadow);
    return 1;
}

int CIOModul::ReadClockLine()
{
    if (m_nModulStatus & MODUL_NO_MODULE)
        return 0;
    if (m_nModulVersion != 3 && m_nModulVersion != 4) {
        m_nModulStatus |= MODUL_BAD_VERSION;
        return 0;
    }
    m_nModulStatus &= ~MODUL_BAD_VERSION;
    m_nStatusShadow = m_pPort->In(static_cast<uint16_t>(m_nPortBase + STATUS_REGISTER));
    int nLine = (m_nStatusShadow & STATUS_CLOCK) ? 1 : 0;
    return m_nModulVersion == 4 ? nLine ^ 1 : nLine;
}

int CIOModul::ReadDataInLine()
{
    if (m_nModulStatus & MODUL_NO_MODULE)
        return 0;
    m_nStatusShadow = m_pPort->In(static_cast<uint16_t>(m_nPortBase + STATUS_REGISTER));
    int nLine = (m_nStatusShadow & STATUS_DATA_IN) ? 1 : 0;
    return m_nModulVersion == 4 ? nLine ^ 1 : nLine;
}

// ---------------------------------------------------------------------------------------------
// The byte exchange. The console is the clock master: idle high, each bit a low then a high
// phase, most significant bit first. Our bit goes out after the falling edge, the console's bit
// is sampled after the rising edge. Time is measured only in status-register reads.

uint8_t CIOModul::GetSetByteExtern(uint8_t nSendByte, int32_t nPollLimit)
{
    m_nModulStatus &= ~(MODUL_TIMEOUT | MODUL_SYNC_ERROR);
    SetStrobeLine(1);
    if (m_bRealtimeAllowed)
        m_pPlatform->SetThreadTimeCritical(true);
    SetDataOutLine(1);

    bool bRunning = true;
    bool bSyncError = false;
    int32_t nMark = 0;
    uint8_t nReceived = 0;
    uint8_t nShift = nSendByte;
    int32_t nHighSum = 0;
    int32_t nLowThreshold = 0;
    int32_t i = 0;
    // Only the mark of the immediately preceding exchange arms the synchronisation check.
    const bool bArmed = m_nLastMark >= 1 && m_nLastMark <= 128;

    while (bRunning && i < 8) {
        // High phase: count the reads that find the clock high, at most the poll limit.
        int32_t j = 0;
        if (ReadClockLine() == 1) {
            do {
                ++j;
                if (j >= nPollLimit)
                    bRunning = false;
                if (i > 0 && bArmed && j >= m_nHighThreshold && j >= nLowThreshold)
                    bSyncError = true;
            } while (j < nPollLimit && !bSyncError && ReadClockLine() == 1);
        }
        if (bSyncError || !bRunning)
            break;
        if (i > 0) {
            nHighSum += j;
            // Bit 0 is never judged: the high phase before it is the gap between bytes.
            if (j >= nLowThreshold && j >= m_nHighThreshold)
                nMark = MARK_LONG_HIGH + i;
        }
        SetDataOutLine((nShift & 0x80) ? 1 : 0);
        nShift = static_cast<uint8_t>(nShift << 1);

        // Low phase: count the reads that find the clock low, at most the poll limit.
        int32_t k = 0;
        if (ReadClockLine() == 0) {
            do {
                ++k;
            } while (k < nPollLimit && ReadClockLine() == 0);
        }
        // About 2k * (7/8)^3, truncated at each step.
        int32_t r = 2 * k;
        r -= r >> 3;
        r -= r >> 3;
        r -= r >> 3;
        nLowThreshold = (i == 0) ? r : (nLowThreshold + r) >> 1;
        if (k >= nPollLimit) {
            bRunning = false;
            break;
        }
        nReceived = static_cast<uint8_t>((nReceived << 1) + ReadDataInLine());
        ++i;
    }

    // The thread stays time-critical after the exchange; ResetPriorityClass returns it to normal.
    if (bRunning)
        SetDataOutLine(0);
    else
        m_nModulStatus |= MODUL_TIMEOUT;
    if (bSyncError) {
        nMark = MARK_SYNC_ERROR + i;
        m_nModulStatus |= MODUL_SYNC_ERROR;
    }
    WriteLog(LOG_HANDLE_GS_NT, static_cast<int32_t>(nReceived) * 256 + nSendByte);

    // Learning: the threshold is 7/6 of the mean high phase of bits 1 to 7 of a clean byte.
    if (m_nHighThreshold == 0 && i == 8)
        m_nHighThreshold = nHighSum / 6;
    if (nMark > 0)
        m_nUnmarkedRun = 0;
    if (m_nUnmarkedRun > 6 && i == 8)
        m_nHighThreshold = nHighSum / 6;

    m_nLastMark = nMark;
    if (nMark == 0)
        ++m_nUnmarkedRun;
    return nReceived;
}

void CIOModul::ResetExchangeState()
{
    m_nLastMark = 0;
    m_nUnmarkedRun = 0;
}

uint8_t CIOModul::GetLogHandle(const std::string& strCode, const std::string& strDescription,
                               int32_t nParamBytes)
{
    return CLogStore::GetLogHandle(strCode, strDescription, nParamBytes);
}

// ---------------------------------------------------------------------------------------------
// Detection and calibration.

void CIOModul::InitModul()
{
    InitLog();
    WriteLog(LOG_HANDLE_CC);
    RaisePriorityClass(0);
    FindModulPort();
    GetModulVersion();
    GetModulSpeed();
}

uint16_t CIOModul::FindModulPort()
{
    m_nModulStatus &= ~MODUL_NO_MODULE;
    m_nPortBase = 0;
    PortIo& port = *m_pPort;
    for (uint16_t nBase : MODUL_PORT_BASES) {
        const uint16_t nData = nBase + DATA_REGISTER;
        const uint16_t nStatus = nBase + STATUS_REGISTER;
        const uint16_t nControl = nBase + CONTROL_REGISTER;
        const uint8_t nKeptData = port.In(nData);
        const uint8_t nKeptStatus = port.In(nStatus);
        const uint8_t nKeptControl = port.In(nControl);

        // Strobe and the data-direction bit cleared, so the data lines drive the loop-back.
        port.Out(nControl, static_cast<uint8_t>(nKeptControl & 0xDE));
        port.Out(nData, static_cast<uint8_t>(nKeptData | 0x80));
        bool bLoopBack = (port.In(nStatus) & STATUS_LOOP_D7) != 0;
        if (bLoopBack) {
            port.Out(nData, static_cast<uint8_t>(nKeptData & 0x7F));
            bLoopBack = (port.In(nStatus) & STATUS_LOOP_D7) == 0;
        }
        if (bLoopBack) {
            m_nDataShadow = port.In(nData);
            m_nStatusShadow = port.In(nStatus);
            m_nControlShadow = port.In(nControl);
            m_nPortBase = nBase;
            WriteLog(LOG_HANDLE_MP, nBase);
            return nBase;
        }
        // Leave whatever else sits on this port as it was found.
        port.Out(nData, nKeptData);
        port.Out(nStatus, nKeptStatus);
        port.Out(nControl, nKeptControl);
    }
    m_nModulStatus |= MODUL_NO_MODULE;
    WriteLog(LOG_HANDLE_MP, 0);
    return 0;
}

int32_t CIOModul::GetModulVersion()
{
    int32_t nVersion = 0;
    if (m_nPortBase != 0 && !(m_nModulStatus & MODUL_NO_MODULE)) {
        PortIo& port = *m_pPort;
        const uint16_t nData = m_nPortBase + DATA_REGISTER;
        const uint16_t nStatus = m_nPortBase + STATUS_REGISTER;
        auto step = [&](uint8_t nSet, uint8_t nClear) {
            m_nDataShadow = static_cast<uint8_t>((m_nDataShadow | nSet) & ~nClear);
            port.Out(nData, m_nDataShadow);
            return (port.In(nStatus) & STATUS_LOOP_VERSION) != 0;
        };
        int32_t c = 0;
        if (step(0, 0x40))  // D6 cleared: version 3 answers with bit 7 set
            c += 1;
        if (!step(0x40, 0)) // D6 set
            c += 2;
        if (step(0, 0x20))  // D5 cleared, D6 stays set: version 4 answers with bit 7 set
            c += 4;
        if (!step(0x20, 0)) // D5 set
            c += 8;
        nVersion = 2;
        if ((c & 12) == 12) {
            m_nDataShadow = 0x0C;
            port.Out(nData, m_nDataShadow);
            nVersion = 4;
        }
        if ((c & 3) == 3)
            nVersion = 3;
        m_nModulVersion = nVersion;
    }
    WriteLog(LOG_HANDLE_MV, nVersion);
    return nVersion;
}

int32_t CIOModul::MeasureModulSpeed(int32_t nThousands)
{
    if (m_nPortBase == 0)
        return 0;
    const int64_t nPairs = static_cast<int64_t>(nThousands) * 1000;
    const uint16_t nData = m_nPortBase + DATA_REGISTER;
    const int64_t t0 = m_pPlatform->MilliClock();
    for (int64_t n = 0; n < nPairs; ++n) {
        m_nDataShadow = m_pPort->In(nData);
        m_pPort->Out(nData, m_nDataShadow);
    }
    const int64_t t1 = m_pPlatform->MilliClock();
    const int64_t nElapsed = t1 - t0 + 1 > 0 ? t1 - t0 + 1 : 1;
    const auto m = static_cast<int32_t>((nPairs * 1000 / nElapsed) / 1000);

    ++m_nSampleCount;
    if (m_nSampleCount <= MODUL_SPEED_SAMPLES)
        m_SpeedSamples[m_nSampleCount - 1] = m;
    if (m_nSampleCount > MODUL_SPEED_SAMPLES) {
        // From now on the history weighs 19 to 1 against each new measurement.
        int64_t nSum = 0;
        for (int32_t s : m_SpeedSamples)
            nSum += s;
        const auto nMean = static_cast<int32_t>(nSum / MODUL_SPEED_SAMPLES);
        for (int32_t s = 0; s < MODUL_SPEED_SAMPLES - 1; ++s)
            m_SpeedSamples[s] = nMean;
        m_SpeedSamples[MODUL_SPEED_SAMPLES - 1] = m;
        m_nSampleCount = MODUL_SPEED_SAMPLES;
    }
    int64_t nSum = 0;
    for (int32_t s : m_SpeedSamples)
        nSum += s;
    m_nSpeed = static_cast<int32_t>(nSum / m_nSampleCount);
    WriteLog(LOG_HANDLE_MS, m_nSpeed);
    return m_nSpeed;
}

void CIOModul::RaisePriorityClass(int32_t nMode)
{
    const uint32_t nClass = nMode == 1 ? PRIORITY_CLASS_REALTIME : PRIORITY_CLASS_HIGH;
    // A simulated link busy-polls in virtual time; at a realtime class it could starve the
    // machine, so it gets the high class while the log still records what was asked for.
    m_pPlatform->SetPriorityClass(!m_bRealtimeAllowed && nClass == PRIORITY_CLASS_REALTIME
                                      ? PRIORITY_CLASS_HIGH
                                      : nClass);
    WriteLog(LOG_HANDLE_SP, static_cast<int32_t>(nClass));
}

void CIOModul::ResetPriorityClass()
{
    m_pPlatform->SetPriorityClass(PRIORITY_CLASS_NORMAL);
    WriteLog(LOG_HANDLE_RP, static_cast<int32_t>(PRIORITY_CLASS_NORMAL));
}
