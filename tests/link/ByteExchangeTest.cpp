// The byte exchange against a module whose lines follow a script, read by read.

#include "LinkFakes.h"
#include "log/SystemHandles.h"

#include <array>
#include <gtest/gtest.h>

namespace {

using Segment = CScriptedPort::Segment;

// The line as the console drives it for one byte, in the reads the exchange will count:
// j0 reads of idle clock before bit 0, low phases of k[i] reads, high phases of j[i] reads
// before bits 1..7. The exchange spends one read ending each phase and one reading the data
// bit, which the script adds.
std::vector<Segment> Wave(uint8_t nConsole, int j0, const std::array<int, 8>& k, const std::array<int, 8>& j)
{
    std::vector<Segment> script{{j0, true, false}};
    for (int i = 0; i < 8; ++i) {
        const bool bData = ((nConsole >> (7 - i)) & 1) != 0;
        script.push_back({k[i] + 1, false, bData});
        script.push_back({i < 7 ? j[i + 1] + 2 : 2, true, bData});
    }
    return script;
}

std::array<int, 8> All(int n)
{
    std::array<int, 8> a;
    a.fill(n);
    return a;
}

std::array<int, 8> WithHigh(int nAll, int nBit, int nValue)
{
    std::array<int, 8> a = All(nAll);
    a[nBit] = nValue;
    return a;
}

struct ScriptedModul {
    explicit ScriptedModul(int nVersion = 3)
        : pPort(std::make_shared<CScriptedPort>(nVersion)), pPlatform(std::make_shared<CFakePlatform>()),
          modul(pPort, pPlatform)
    {
        modul->FindModulPort();
        modul->GetModulVersion();
    }
    uint8_t Exchange(const std::vector<Segment>& script, uint8_t nSend = 0, int32_t nLimit = 30000)
    {
        pPort->Load(script);
        return modul->GetSetByteExtern(nSend, nLimit);
    }
    std::shared_ptr<CScriptedPort> pPort;
    std::shared_ptr<CFakePlatform> pPlatform;
    CTestModul modul;
};

TEST(ByteExchange, LowPhaseSetsTheThresholdForTheNextHighPhase)
{
    // r = 2k reduced three times by an eighth: 10 -> 14, 100 -> 135, 1 -> 2. A high phase before
    // bit 1 of r - 1 reads is clean, one of r reads is marked.
    struct Case {
        int k;
        int r;
    };
    for (const Case& c : {Case{10, 14}, Case{100, 135}, Case{1, 2}}) {
        for (int nHigh : {c.r - 1, c.r}) {
            ScriptedModul s;
            s.Exchange(Wave(0x55, 5, All(c.k), WithHigh(1, 1, nHigh)));
            EXPECT_EQ(s.modul->GetLastMark(), nHigh >= c.r ? 65 : 0) << "k=" << c.k << " high=" << nHigh;
            EXPECT_EQ(s.modul->GetModulStatus() & (MODUL_TIMEOUT | MODUL_SYNC_ERROR), 0u);
        }
    }
}

TEST(ByteExchange, LearnsTheHighThresholdFromTheFirstCompleteByteAndAgainAfterSevenCleanOnes)
{
    ScriptedModul s;
    EXPECT_EQ(s.modul->GetHighThreshold(), 0);
    s.Exchange(Wave(0xA5, 50, All(20), All(10)));
    EXPECT_EQ(s.modul->GetLastMark(), 0);
    EXPECT_EQ(s.modul->GetHighThreshold(), 11); // 70 / 6
    for (int n = 2; n <= 7; ++n) {
        s.Exchange(Wave(0xA5, 50, All(20), All(12)));
        EXPECT_EQ(s.modul->GetHighThreshold(), 11) << "exchange " << n;
    }
    s.Exchange(Wave(0xA5, 50, All(20), All(12)));
    EXPECT_EQ(s.modul->GetHighThreshold(), 14); // 84 / 6 once the run of clean bytes exceeds six
}

TEST(ByteExchange, LongHighPhaseMarksThenCutsTheNextByteUnlessACleanOneComesBetween)
{
    ScriptedModul s;
    s.Exchange(Wave(0x00, 50, All(10), All(10))); // learns 11; low threshold about 14
    ASSERT_EQ(s.modul->GetHighThreshold(), 11);

    const auto longAt3 = Wave(0xB7, 50, All(10), WithHigh(10, 3, 40));
    EXPECT_EQ(s.Exchange(longAt3), 0xB7);
    EXPECT_EQ(s.modul->GetLastMark(), 67);
    EXPECT_EQ(s.modul->GetModulStatus() & MODUL_SYNC_ERROR, 0u);

    // The same again right after: cut at bit 3, the three bits received right-aligned.
    EXPECT_EQ(s.Exchange(longAt3), 0xB7 >> 5);
    EXPECT_EQ(s.modul->GetLastMark(), 131);
    EXPECT_EQ(s.modul->GetModulStatus() & (MODUL_SYNC_ERROR | MODUL_TIMEOUT), MODUL_SYNC_ERROR);

    // A clean exchange clears the flag, and breaks the chain.
    EXPECT_EQ(s.Exchange(Wave(0x3C, 50, All(10), All(10))), 0x3C);
    EXPECT_EQ(s.modul->GetLastMark(), 0);
    EXPECT_EQ(s.modul->GetModulStatus() & MODUL_SYNC_ERROR, 0u);
    EXPECT_EQ(s.Exchange(longAt3), 0xB7);
    EXPECT_EQ(s.modul->GetLastMark(), 67);

    // Several long phases: the last one names the mark. ResetExchangeState disarms the check.
    std::array<int, 8> twoLong = All(10);
    twoLong[2] = 40;
    twoLong[5] = 40;
    s.modul->ResetExchangeState();
    EXPECT_EQ(s.Exchange(Wave(0x11, 50, All(10), twoLong)), 0x11);
    EXPECT_EQ(s.modul->GetLastMark(), 69);
}

TEST(ByteExchange, TheIdleGapBeforeBitZeroIsNeverJudged)
{
    ScriptedModul s;
    s.Exchange(Wave(0x00, 50, All(10), All(10)));
    s.Exchange(Wave(0x00, 50, All(10), WithHigh(10, 4, 40))); // arm the check
    ASSERT_EQ(s.modul->GetLastMark(), 68);
    EXPECT_EQ(s.Exchange(Wave(0x5A, 5000, All(10), All(10))), 0x5A);
    EXPECT_EQ(s.modul->GetLastMark(), 0);
}

TEST(ByteExchange, ClockStuckHighEndsAfterExactlyThePollLimit)
{
    for (int32_t nLimit : {1, 500, 5000}) {
        ScriptedModul s;
        s.Exchange({}, 0x81, nLimit);
        EXPECT_EQ(s.pPort->m_nStatusReads, nLimit);
        EXPECT_EQ(s.modul->GetModulStatus() & (MODUL_TIMEOUT | MODUL_SYNC_ERROR), MODUL_TIMEOUT);
        EXPECT_EQ(s.modul->GetLastMark(), 0);
        // Strobe released, the data line raised before the first edge, and no bit sent.
        EXPECT_EQ(s.pPort->m_DataOutLine.size(), 2u);
        EXPECT_EQ(s.pPort->m_DataOutLine.back(), 1);
    }
}

TEST(ByteExchange, ClockStuckLowTimesOutWithTheBitsReceivedSoFar)
{
    ScriptedModul s;
    auto script = Wave(0xFF, 5, All(5), All(5));
    script.resize(1 + 2 * 3);                 // bits 0..2 complete
    script.push_back({100000, false, true});  // then the clock never rises again
    EXPECT_EQ(s.Exchange(script, 0, 1000), 0x07);
    EXPECT_EQ(s.modul->GetModulStatus() & MODUL_TIMEOUT, MODUL_TIMEOUT);
}

TEST(ByteExchange, SendsMostSignificantBitFirstAndLogsBothBytes)
{
    for (int nVersion : {3, 4}) {
        ScriptedModul s(nVersion);
        ASSERT_EQ(s.modul->GetVersion(), nVersion);
        EXPECT_EQ(s.Exchange(Wave(0x33, 20, All(8), All(8)), 0x81), 0x33);
        const std::vector<int> expected{1, 1, 0, 0, 0, 0, 0, 0, 1, 0};
        // The first write releases the strobe and leaves the data line as it was.
        ASSERT_EQ(s.pPort->m_DataOutLine.size(), expected.size() + 1);
        EXPECT_EQ(std::vector<int>(s.pPort->m_DataOutLine.begin() + 1, s.pPort->m_DataOutLine.end()), expected);
        EXPECT_EQ(s.modul->GetModulStatus() & (MODUL_BAD_VERSION | MODUL_TIMEOUT), 0u);
        const auto entries = LogEntries(*s.modul);
        ASSERT_FALSE(entries.empty());
        EXPECT_EQ(entries.back(), (std::pair<int, int64_t>{LOG_HANDLE_GS_NT, 0x33 * 256 + 0x81}));
    }
}

TEST(ByteExchange, WithoutAUsableModuleEveryExchangeTimesOutAndIsStillLogged)
{
    // No module at all: nothing is read; the version-2 module: the clock is never read.
    CTestModul none(nullptr, std::make_shared<CFakePlatform>());
    none->FindModulPort();
    EXPECT_EQ(none->GetSetByteExtern(0x81, 200), 0);
    EXPECT_EQ(none->GetModulStatus(), MODUL_NO_MODULE | MODUL_TIMEOUT);
    EXPECT_EQ(LogEntries(*none).back(), (std::pair<int, int64_t>{LOG_HANDLE_GS_NT, 0x81}));

    auto pPort = std::make_shared<CScriptedPort>(3);
    CTestModul bad(pPort, std::make_shared<CFakePlatform>());
    bad->FindModulPort(); // found, but the version was never tested: version 0
    pPort->Load({});
    EXPECT_EQ(bad->GetSetByteExtern(0x00, 200), 0);
    EXPECT_EQ(pPort->m_nStatusReads, 0);
    EXPECT_EQ(bad->GetModulStatus(), MODUL_BAD_VERSION | MODUL_TIMEOUT);
    EXPECT_EQ(bad->ReadClockLine(), 0);
}

TEST(ByteExchange, LinePrimitivesKeepTheOtherControlBits)
{
    ScriptedModul s;
    const uint8_t nBefore = s.modul->GetControlShadow();
    EXPECT_EQ(s.modul->SetStrobeLine(0), 1);
    EXPECT_EQ(s.modul->GetControlShadow(), nBefore | 0x01);
    EXPECT_EQ(s.modul->SetDataOutLine(0), 1);
    EXPECT_EQ(s.modul->GetControlShadow(), nBefore | 0x03);
    s.modul->SetStrobeLine(1);
    s.modul->SetDataOutLine(1);
    EXPECT_EQ(s.modul->GetControlShadow(), nBefore & 0xFC);

    CTestModul none;
    EXPECT_EQ(none->SetStrobeLine(1), 0);
    EXPECT_EQ(none->SetDataOutLine(1), 0);
    EXPECT_EQ(none->ReadClockLine(), 0);
    EXPECT_EQ(none->ReadDataInLine(), 0);
}

} // namespace
