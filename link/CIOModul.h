#pragma once
// The link-module object: the protocol log (CLogStore) plus the port side — line primitives,
// the byte exchange clocked by the console, port probe, version test, speed and priority class.

#include "link/IPrinterLink.h"
#include "link/Platform.h"
#include "link/PortIo.h"
#include "log/CLogStore.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// The printer-port bases in the order the probe tries them.
constexpr std::array<uint16_t, 3> MODUL_PORT_BASES = {0x378, 0x278, 0x3BC};
constexpr int32_t MODUL_SPEED_SAMPLES = 20;

class CIOModul : public CLogStore, public IPrinterLink {
public:
    // pPort null: no port at all (every address reads 0xFF). pPlatform null: DefaultPlatform().
    explicit CIOModul(std::shared_ptr<PortIo> pPort = nullptr,
                      std::shared_ptr<IPlatform> pPlatform = nullptr);
    ~CIOModul() override; // saves the log (once set up), then returns the process to the normal class
    CIOModul(const CIOModul&) = delete;
    CIOModul& operator=(const CIOModul&) = delete;

    // Line primitives.
    int SetStrobeLine(int nLevel);
    int SetDataOutLine(int nBit);
    int ReadClockLine();
    int ReadDataInLine();

    // IPrinterLink
    uint8_t GetSetByteExtern(uint8_t nSendByte, int32_t nPollLimit) override;
    uint32_t GetModulStatus() const override { return m_nModulStatus; }
    int32_t GetLastMark() const override { return m_nLastMark; }
    void ResetExchangeState() override;
    uint8_t GetLogHandle(const std::string& strCode, const std::string& strDescription,
                         int32_t nParamBytes) override;

    // Detection and calibration.
    void InitModul();
    uint16_t FindModulPort();
    int32_t GetModulVersion();
    int32_t MeasureModulSpeed(int32_t nThousands);
    int32_t GetModulSpeed() { return MeasureModulSpeed(150); }
    void RaisePriorityClass(int32_t nMode);
    void ResetPriorityClass();
    // The platform's monotonic milliseconds.
    int64_t MilliClock() { return m_pPlatform->MilliClock(); }

    // Read access for tests and the user interface.
    uint16_t GetPortBase() const { return m_nPortBase; }
    int32_t GetVersion() const { return m_nModulVersion; }
    int32_t GetSampleCount() const { return m_nSampleCount; }
    const std::array<int32_t, MODUL_SPEED_SAMPLES>& GetSpeedSamples() const { return m_SpeedSamples; }
    int32_t GetHighThreshold() const { return m_nHighThreshold; }
    uint8_t GetDataShadow() const { return m_nDataShadow; }
    uint8_t GetControlShadow() const { return m_nControlShadow; }
    // False for the simulated link and for a port where nothing answers: realtime is never asked for.
    bool IsRealtimeAllowed() const { return m_bRealtimeAllowed; }
    PortIo& GetPort() { return *m_pPort; }

private:
    int SetControlLine(uint8_t nMask, int nLevel);

    std::shared_ptr<PortIo> m_pPort;
    std::shared_ptr<IPlatform> m_pPlatform;
    bool m_bRealtimeAllowed = false;

    uint16_t m_nPortBase = 0;
    uint8_t m_nDataShadow = 0;
    uint8_t m_nStatusShadow = 0;
    uint8_t m_nControlShadow = 0;
    int32_t m_nModulVersion = 0;
    uint32_t m_nModulStatus = MODUL_NO_MODULE;

    std::array<int32_t, MODUL_SPEED_SAMPLES> m_SpeedSamples{};
    int32_t m_nSampleCount = 0;
    int32_t m_nSpeed = 0;

    int32_t m_nLastMark = 0;
    int32_t m_nUnmarkedRun = 0;
    int32_t m_nHighThreshold = 0;
};
