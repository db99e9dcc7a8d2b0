// Reading the retained log: entries, their parameters as text, and states no sound store has.
#include "LogTestSupport.h"

#include "log/SystemHandles.h"

#include <gtest/gtest.h>

namespace {

class CPositionedStore : public CLogStore {
public:
    void SetPositions(int32_t nWrite, int32_t nOldest)
    {
        m_nWritePos = nWrite;
        m_nOldestPos = nOldest;
    }
    void SetByte(int32_t nPos, uint8_t nByte) { m_LogBuffer[static_cast<size_t>(nPos)] = nByte; }
};

TEST(LogReader, FormatsEachKindOfEntry)
{
    auto pStore = std::make_unique<CLogStore>();
    pStore->SetLogDefaults();
    pStore->ClearLog();
    const uint8_t nUmlaut = pStore->GetLogHandle("Pr\xFC" "f", "Pr\xFC" "fsumme falsch", 2);
    pStore->WriteLog(LOG_HANDLE_CC);
    pStore->WriteLog(LOG_HANDLE_GS_NT, 0x81 * 256 + 0x88);
    pStore->WriteLog(LOG_HANDLE_MP, 888);
    pStore->WriteLog(LOG_HANDLE_MS);       // Z1 naming MS
    pStore->WriteLog(LOG_HANDLE_CC, 3);    // Z2 naming CC
    pStore->WriteLog(nUmlaut, -1);
    pStore->WriteLog(LOG_HANDLE_PORT_IOS, -1);

    Walk walk = WalkLog(*pStore);
    ASSERT_TRUE(walk.bWhole);
    ASSERT_GE(walk.entries.size(), 7u);
    std::vector<std::string> lines;
    for (size_t i = walk.entries.size() - 7; i < walk.entries.size(); ++i)
        lines.push_back(FormatLogEntry(*pStore, walk.entries[i]));
    const std::vector<std::string> expected = {
        "21\tCC\tCreate IOModul Class wird im Konstruktor aufgerufen\t",
        "25\tGS NT\tGet Byte , Set Byte  extern von GB getaktet\tsent 0x88, received 0x81",
        "20\tMP\tModulPort\t888",
        "1\tZ1\tFehler im WriteLog Aufruf (Handle folgend), erwartete Parameter wurde nicht \xC3\xBC" "bergeben\thandle 18 (MS)",
        "2\tZ2\tFehler im WriteLog Aufruf (Handle folgend), es wurde versucht ein Parameter zu \xC3\xBC" "bergeben\thandle 21 (CC)",
        "48\tPr\xC3\xBC" "f\tPr\xC3\xBC" "fsumme falsch\t255",
        "4\tPort IO\xC2\xB4s\tPortausgaben BusZyklen\t255",
    };
    EXPECT_EQ(lines, expected);
}

TEST(LogReader, StatesNoSoundStoreHasEndTheWalkSafely)
{
    struct Case {
        const char* pszName;
        int32_t nWrite, nOldest;
        size_t nEntries;
        bool bWhole;
    };
    // Ring: fill bytes, with a GS NT handle byte at 99999 whose parameters wrap to 0 and 1.
    const std::vector<Case> cases = {
        {"write position past the ring", 100000, 0, 0, false},
        {"negative write position", -1, 5, 0, false},
        {"oldest position far out", 10, INT32_MAX, 0, false},
        {"equal positions", 7, 7, 0, true},
        {"entry wraps and ends on the write position", 2, 99999, 1, true},
        {"entry reaches past the write position", 1, 99998, 1, false},
        {"whole ring but one byte", 99998, 99999, 99997, true},
    };
    auto pStore = std::make_unique<CPositionedStore>();
    pStore->SetLogDefaults();
    pStore->SetByte(99999, LOG_HANDLE_GS_NT);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        pStore->SetPositions(c.nWrite, c.nOldest);
        Walk walk = WalkLog(*pStore);
        EXPECT_EQ(walk.entries.size(), c.nEntries);
        EXPECT_EQ(walk.bWhole, c.bWhole);
        EXPECT_LE(walk.nBytes, CLogStore::LOG_RING_SIZE);
    }
}

}  // namespace
