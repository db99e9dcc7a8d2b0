// Port probe, version test, speed measurement and priority classes.

#include "LinkFakes.h"
#include "log/SystemHandles.h"

#include <gtest/gtest.h>
#include <fstream>
#include <iterator>
#include <map>
#include <tuple>

namespace {

// Printer ports at any of the standard bases, with or without a module, recording every access.
class CFakeBus final : public PortIo {
public:
    struct Port {
        bool bModule = true;
        bool bStatusBit6Stuck = false;
        std::vector<int> Bit7Script; // status bit 7 for successive reads after the probe, if set
        uint8_t nData = 0;
        uint8_t nStatus = 0x07;
        uint8_t nControl = 0x0C;
        size_t nScriptPos = 0;
        int32_t nVersion = 3;
    };
    struct Access {
        char cKind;
        uint16_t nAddress;
        uint8_t nValue;
    };
    std::map<uint16_t, Port> m_Ports;
    std::vector<Access> m_Log;
    bool m_bProbed = false;

    ELinkKind GetKind() const override { return ELinkKind::Direct; }
    uint8_t In(uint16_t nAddress) override
    {
        Port* pPort = Find(nAddress);
        uint8_t nValue = 0xFF;
        if (pPort) {
            const uint16_t nReg = nAddress & 3;
            if (nReg == 0)
                nValue = pPort->nData;
            else if (nReg == 2)
                nValue = pPort->nControl;
            else
                nValue = Status(*pPort);
        }
        m_Log.push_back({'r', nAddress, nValue});
        return nValue;
    }
    void Out(uint16_t nAddress, uint8_t nValue) override
    {
        m_Log.push_back({'w', nAddress, nValue});
        if (Port* pPort = Find(nAddress)) {
            const uint16_t nReg = nAddress & 3;
            if (nReg == 0)
                pPort->nData = nValue;
            else if (nReg == 2)
                pPort->nControl = nValue;
        }
    }
    bool Touched(uint16_t nBase) const
    {
        for (const Access& a : m_Log)
            if (a.nAddress >= nBase && a.nAddress < nBase + 3)
                return true;
        return false;
    }

private:
    Port* Find(uint16_t nAddress)
    {
        for (auto& [nBase, port] : m_Ports)
            if (nAddress >= nBase && nAddress < nBase + 3)
                return &port;
        return nullptr;
    }
    uint8_t Status(Port& port)
    {
        if (!port.bModule)
            return port.nStatus;
        uint8_t nStatus = static_cast<uint8_t>(port.nStatus & 0x3F);
        if ((port.nData & 0x80) || port.bStatusBit6Stuck)
            nStatus |= 0x40;
        if (!port.Bit7Script.empty()) {
            if (port.nScriptPos < port.Bit7Script.size() && port.Bit7Script[port.nScriptPos++])
                nStatus |= 0x80;
        } else if ((port.nVersion == 3 && !(port.nData & 0x40)) || (port.nVersion == 4 && !(port.nData & 0x20))) {
            nStatus |= 0x80;
        }
        return nStatus;
    }
};

using Entry = std::pair<int, int64_t>;

TEST(ModulDetection, FirstBaseWithTheLoopBackWinsAndLaterBasesAreLeftAlone)
{
    auto pBus = std::make_shared<CFakeBus>();
    pBus->m_Ports[0x378] = {};
    pBus->m_Ports[0x278] = {};
    CTestModul modul(pBus, std::make_shared<CFakePlatform>());
    EXPECT_EQ(modul->FindModulPort(), 0x378);
    EXPECT_EQ(modul->GetPortBase(), 0x378);
    EXPECT_EQ(modul->GetModulStatus() & MODUL_NO_MODULE, 0u);
    EXPECT_FALSE(pBus->Touched(0x278));
    EXPECT_FALSE(pBus->Touched(0x3BC));
    EXPECT_EQ(LogEntries(*modul).back(), (Entry{LOG_HANDLE_MP, 0x378}));
    // Strobe and direction bits cleared, D7 left at 0 by the second loop-back step.
    EXPECT_EQ(pBus->m_Ports[0x378].nControl, 0x0C & 0xDE);
    EXPECT_EQ(modul->GetControlShadow(), 0x0C & 0xDE);
    EXPECT_EQ(modul->GetDataShadow() & 0x80, 0);
}

TEST(ModulDetection, AFailingBaseGetsItsRegistersBack)
{
    auto pBus = std::make_shared<CFakeBus>();
    CFakeBus::Port stuck;
    stuck.bStatusBit6Stuck = true;
    stuck.nData = 0x5A;
    stuck.nControl = 0xE5;
    pBus->m_Ports[0x378] = stuck;
    pBus->m_Ports[0x3BC] = {};
    CTestModul modul(pBus, std::make_shared<CFakePlatform>());
    EXPECT_EQ(modul->FindModulPort(), 0x3BC);

    std::vector<std::tuple<char, uint16_t, uint8_t>> writes;
    for (const auto& a : pBus->m_Log)
        if (a.cKind == 'w' && a.nAddress >= 0x378 && a.nAddress < 0x37B)
            writes.emplace_back(a.cKind, a.nAddress, a.nValue);
    // Control, D7 = 1, D7 = 0 (the stuck bit fails here), then data, status, control restored.
    const uint8_t nStatus = static_cast<uint8_t>(0x07 | 0x40);
    const std::vector<std::tuple<char, uint16_t, uint8_t>> expected{
        {'w', 0x37A, 0xE5 & 0xDE}, {'w', 0x378, 0xDA}, {'w', 0x378, 0x5A},
        {'w', 0x378, 0x5A},        {'w', 0x379, nStatus}, {'w', 0x37A, 0xE5}};
    EXPECT_EQ(writes, expected);
    EXPECT_EQ(pBus->m_Ports[0x378].nControl, 0xE5);
}

TEST(ModulDetection, NoModuleAnywhere)
{
    auto pBus = std::make_shared<CFakeBus>();
    CFakeBus::Port printer;
    printer.bModule = false;
    pBus->m_Ports[0x378] = printer;
    CTestModul modul(pBus, std::make_shared<CFakePlatform>());
    EXPECT_EQ(modul->FindModulPort(), 0);
    EXPECT_EQ(modul->GetModulStatus() & MODUL_NO_MODULE, MODUL_NO_MODULE);
    EXPECT_EQ(LogEntries(*modul).back(), (Entry{LOG_HANDLE_MP, 0}));

    const size_t nAccesses = pBus->m_Log.size();
    const int32_t nWritePos = modul->GetWritePos();
    EXPECT_EQ(modul->MeasureModulSpeed(150), 0);
    EXPECT_EQ(modul->GetWritePos(), nWritePos); // no "MS" entry
    EXPECT_EQ(modul->GetModulVersion(), 0);
    EXPECT_EQ(LogEntries(*modul).back(), (Entry{LOG_HANDLE_MV, 0}));
    EXPECT_EQ(pBus->m_Log.size(), nAccesses); // the port was not touched
}

TEST(ModulDetection, VersionFromTheFourLoopBackSteps)
{
    for (int c = 0; c < 16; ++c) {
        auto pBus = std::make_shared<CFakeBus>();
        pBus->m_Ports[0x378] = {};
        CTestModul modul(pBus, std::make_shared<CFakePlatform>());
        ASSERT_EQ(modul->FindModulPort(), 0x378);
        // Steps 1 and 3 count when bit 7 reads 1, steps 2 and 4 when it reads 0.
        pBus->m_Ports[0x378].Bit7Script = {c & 1, (c & 2) ? 0 : 1, (c & 4) ? 1 : 0, (c & 8) ? 0 : 1};
        const int nExpected = (c & 3) == 3 ? 3 : ((c & 12) == 12 ? 4 : 2);
        EXPECT_EQ(modul->GetModulVersion(), nExpected) << "c=" << c;
        EXPECT_EQ(modul->GetVersion(), nExpected);
        EXPECT_EQ(LogEntries(*modul).back(), (Entry{LOG_HANDLE_MV, nExpected}));
        // 0x0C is written whenever steps 3 and 4 both count, even when version 3 wins.
        const bool bWrote0C = (c & 12) == 12;
        EXPECT_EQ(pBus->m_Ports[0x378].nData == 0x0C, bWrote0C) << "c=" << c;
    }
}

TEST(ModulDetection, RealModulesOfEachVersion)
{
    for (int nVersion : {3, 4}) {
        auto pBus = std::make_shared<CFakeBus>();
        CFakeBus::Port port;
        port.nVersion = nVersion;
        pBus->m_Ports[0x278] = port;
        CTestModul modul(pBus, std::make_shared<CFakePlatform>());
        EXPECT_EQ(modul->FindModulPort(), 0x278);
        EXPECT_EQ(modul->GetModulVersion(), nVersion);
    }
}

TEST(ModulDetection, SpeedIsTheMeanOfTheLastTwentySamples)
{
    auto pBus = std::make_shared<CFakeBus>();
    pBus->m_Ports[0x378] = {};
    auto pPlatform = std::make_shared<CFakePlatform>(); // 9 ms between the two clock reads
    CTestModul modul(pBus, pPlatform);
    modul->FindModulPort();
    // N pairs in 10 ms (9 + 1) give N / 10 pairs per millisecond.
    EXPECT_EQ(modul->MeasureModulSpeed(5), 500);
    EXPECT_EQ(modul->MeasureModulSpeed(3), 400);
    EXPECT_EQ(LogEntries(*modul).back(), (Entry{LOG_HANDLE_MS, 400}));

    CTestModul full(pBus, pPlatform);
    full->FindModulPort();
    for (int n = 0; n < 20; ++n)
        EXPECT_EQ(full->MeasureModulSpeed(5), 500);
    EXPECT_EQ(full->MeasureModulSpeed(10), 525); // (19 x 500 + 1000) / 20
    EXPECT_EQ(full->GetSampleCount(), 20);
    for (int n = 0; n < 19; ++n)
        EXPECT_EQ(full->GetSpeedSamples()[n], 500);
    EXPECT_EQ(full->GetSpeedSamples()[19], 1000);
    EXPECT_EQ(full->MeasureModulSpeed(10), 548); // (19 x 525 + 1000) / 20, truncated
}

TEST(ModulDetection, SpeedMeasurementReadsAndWritesTheDataRegister)
{
    auto pBus = std::make_shared<CFakeBus>();
    pBus->m_Ports[0x378] = {};
    CTestModul modul(pBus, std::make_shared<CFakePlatform>());
    modul->FindModulPort();
    pBus->m_Log.clear();
    modul->MeasureModulSpeed(1);
    ASSERT_EQ(pBus->m_Log.size(), 2000u);
    for (size_t n = 0; n < 2000; n += 2) {
        EXPECT_EQ(pBus->m_Log[n].cKind, 'r');
        EXPECT_EQ(pBus->m_Log[n + 1].cKind, 'w');
        EXPECT_EQ(pBus->m_Log[n + 1].nAddress, 0x378);
    }
}

TEST(ModulDetection, PriorityClassesAndTheirLogEntries)
{
    enum Port { Hardware, Simulated, Nothing };
    struct Case {
        Port ePort;
        int32_t nMode;
        uint32_t nPlatformClass;
        int64_t nLogged;
    };
    class CSimPort final : public PortIo {
    public:
        uint8_t In(uint16_t) override { return 0xFF; }
        void Out(uint16_t, uint8_t) override {}
        ELinkKind GetKind() const override { return ELinkKind::Simulated; }
    };
    for (const Case& c : {Case{Hardware, 0, 0x80, 128}, Case{Hardware, 1, 0x100, 256}, Case{Hardware, 2, 0x80, 128},
                          Case{Simulated, 1, 0x80, 256}, Case{Simulated, 0, 0x80, 128}, Case{Nothing, 1, 0x80, 256}}) {
        auto pPlatform = std::make_shared<CFakePlatform>();
        std::shared_ptr<PortIo> pPort;
        if (c.ePort == Simulated)
            pPort = std::make_shared<CSimPort>();
        else if (c.ePort == Hardware)
            pPort = std::make_shared<CScriptedPort>();
        CTestModul modul(pPort, pPlatform);
        modul->RaisePriorityClass(c.nMode);
        EXPECT_EQ(pPlatform->m_Classes.back(), c.nPlatformClass);
        EXPECT_EQ(LogEntries(*modul).back(), (Entry{LOG_HANDLE_SP, c.nLogged}));
        modul->ResetPriorityClass();
        EXPECT_EQ(pPlatform->m_Classes.back(), 0x20u);
        EXPECT_EQ(LogEntries(*modul).back(), (Entry{LOG_HANDLE_RP, 32}));
    }
}

TEST(ModulDetection, OnlyAHardwareLinkAsksForATimeCriticalThread)
{
    for (bool bSimulated : {false, true}) {
        auto pPlatform = std::make_shared<CFakePlatform>();
        auto pPort = std::make_shared<CScriptedPort>(3, bSimulated);
        CTestModul modul(pPort, pPlatform);
        modul->FindModulPort();
        modul->GetModulVersion();
        pPort->Load({});
        modul->GetSetByteExtern(0, 10);
        modul->GetSetByteExtern(0, 10);
        const std::vector<bool> expected = bSimulated ? std::vector<bool>() : std::vector<bool>(2, true);
        EXPECT_EQ(pPlatform->m_Critical, expected);
    }
}

TEST(ModulDetection, InitModulInOrderAndTheDestructorSavesBeforeResetting)
{
    auto pBus = std::make_shared<CFakeBus>();
    pBus->m_Ports[0x378] = {};
    auto pPlatform = std::make_shared<CFakePlatform>();
    CTestModul modul(pBus, pPlatform);
    modul->InitModul();
    const auto entries = LogEntries(*modul);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0], (Entry{LOG_HANDLE_CC, 0}));
    EXPECT_EQ(entries[1], (Entry{LOG_HANDLE_SP, 128}));
    EXPECT_EQ(entries[2], (Entry{LOG_HANDLE_MP, 0x378}));
    EXPECT_EQ(entries[3], (Entry{LOG_HANDLE_MV, 3}));
    EXPECT_EQ(entries[4], (Entry{LOG_HANDLE_MS, 150000 / 10}));

    modul.Destroy();
    EXPECT_EQ(pPlatform->m_Classes.back(), 0x20u);
    CLogStore saved;
    ASSERT_TRUE(saved.ReadLogfile(modul.Path()).IsUsable());
    const auto savedEntries = LogEntries(saved);
    ASSERT_FALSE(savedEntries.empty());
    EXPECT_EQ(savedEntries.back(), (Entry{LOG_HANDLE_MS, 15000})); // "RP" came after the save
}

TEST(ModulDetection, OnlyALogThatWasSetUpIsSavedOnDestruction)
{
    // A previous session's log on disk (no module: it ends with "MV" 0); then one object that is destroyed before its log was
    // ever set up, and one that was set up and saves as usual.
    CTestModul previous;
    previous->InitModul();
    previous.Destroy();
    std::ifstream before(previous.Path(), std::ios::binary);
    const std::string strBefore((std::istreambuf_iterator<char>(before)), {});
    ASSERT_FALSE(strBefore.empty());

    for (const bool bSetUp : {false, true}) {
        SCOPED_TRACE(bSetUp ? "set up" : "never set up");
        auto pModul = std::make_unique<CIOModul>();
        pModul->SetLogfilePath(previous.Path());
        if (bSetUp) {
            pModul->InitLog();
            pModul->WriteLog(LOG_HANDLE_CC);
        }
        pModul.reset();

        std::ifstream after(previous.Path(), std::ios::binary);
        const std::string strAfter((std::istreambuf_iterator<char>(after)), {});
        if (!bSetUp) {
            EXPECT_EQ(strAfter, strBefore);
        }
        CTestModul next;
        next->SetLogfilePath(previous.Path());
        next->InitLog();
        EXPECT_EQ(next->GetHandleCode(LOG_HANDLE_GS_NT), "GS NT");
        EXPECT_EQ(next->GetParamBytes(LOG_HANDLE_GS_NT), 2);
        const auto entries = LogEntries(*next);
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries.back(), (Entry{bSetUp ? LOG_HANDLE_CC : LOG_HANDLE_MV, 0}));
        EXPECT_EQ(next->GetLogHandle("X", "Y", 1), LOG_FIRST_APP_HANDLE);
        next->SetLogfilePath(next.Path()); // its own save goes to its own file
    }
}

} // namespace
