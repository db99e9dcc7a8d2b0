// The ring, WriteLog's entries and error entries, and handle registration.
#include "LogTestSupport.h"

#include "log/SystemHandles.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <random>
#include <sstream>

namespace {

class LogStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pStore = MakeStore(m_Dir / "Tarvo.log");
        m_pStore->ClearLog();
    }
    // The bytes of the ring from index nFrom, nCount of them, wrapping.
    std::vector<uint8_t> RingBytes(int32_t nFrom, int32_t nCount) const
    {
        std::vector<uint8_t> bytes;
        for (int32_t i = 0; i < nCount; ++i)
            bytes.push_back(m_pStore->GetLogBuffer()[(nFrom + i) % CLogStore::LOG_RING_SIZE]);
        return bytes;
    }
    CScratchFolder m_Dir;
    std::unique_ptr<CLogStore> m_pStore;
};

TEST_F(LogStoreTest, ClearedLogIsEmptyAndFirstEntryFollowsTheFill)
{
    Walk empty = WalkLog(*m_pStore);
    EXPECT_TRUE(empty.entries.empty());
    EXPECT_TRUE(empty.bWhole);

    m_pStore->WriteLog(LOG_HANDLE_CC);
    EXPECT_EQ(m_pStore->GetWritePos(), 1);
    EXPECT_EQ(m_pStore->GetOldestPos(), 2);
    Walk walk = WalkLog(*m_pStore);
    ASSERT_TRUE(walk.bWhole);
    ASSERT_EQ(walk.entries.size(), 99999u);
    for (size_t i = 0; i + 1 < walk.entries.size(); ++i)
        ASSERT_EQ(walk.entries[i].nHandle, LOG_HANDLE_FILL) << i;
    EXPECT_EQ(walk.entries.back().nHandle, LOG_HANDLE_CC);
    EXPECT_EQ(walk.entries.back().nPos, 0);
}

struct WriteCase {
    const char* pszName;
    uint8_t nHandle;
    std::optional<int32_t> nParam;
    std::vector<uint8_t> expected;
};

TEST_F(LogStoreTest, WriteLogStoresHandleAndLeastSignificantBytesFirst)
{
    const std::vector<WriteCase> cases = {
        {"MS without parameter gives Z1", LOG_HANDLE_MS, std::nullopt, {1, 18}},
        {"CC with parameter gives Z2", LOG_HANDLE_CC, 5, {2, 21}},
        {"CC plain", LOG_HANDLE_CC, std::nullopt, {21}},
        {"MP two bytes", LOG_HANDLE_MP, 888, {20, 0x78, 0x03}},
        {"MV keeps the low byte", LOG_HANDLE_MV, 300, {19, 0x2C}},
        {"MS drops upper bytes", LOG_HANDLE_MS, 0x12345, {18, 0x45, 0x23}},
        {"minus one in two bytes", LOG_HANDLE_MS, -1, {18, 0xFF, 0x00}},
        {"minus 300 in two bytes", LOG_HANDLE_MS, -300, {18, 0xD4, 0xFF}},
        {"minus two in four bytes", LOG_HANDLE_PORT_IOS, -2, {4, 0xFE, 0x00, 0x00, 0x00}},
        {"most negative in four bytes", LOG_HANDLE_PORT_IOS, INT32_MIN, {4, 0x00, 0x00, 0x00, 0x80}},
        {"largest in four bytes", LOG_HANDLE_PORT_IOS, INT32_MAX, {4, 0xFF, 0xFF, 0xFF, 0x7F}},
        {"GS NT: sent first, received second", LOG_HANDLE_GS_NT, 0x81 * 256 + 0x88, {25, 0x88, 0x81}},
        {"unassigned row takes no parameter", 200, 7, {2, 200}},
        {"unassigned row plain", 200, std::nullopt, {200}},
        {"F0 plain", LOG_HANDLE_F0, std::nullopt, {0}},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        m_pStore->ClearLog();
        if (c.nParam)
            m_pStore->WriteLog(c.nHandle, *c.nParam);
        else
            m_pStore->WriteLog(c.nHandle);
        const int32_t nSize = static_cast<int32_t>(c.expected.size());
        EXPECT_EQ(m_pStore->GetWritePos(), nSize);
        EXPECT_EQ(RingBytes(0, nSize), c.expected);
        Walk walk = WalkLog(*m_pStore);
        ASSERT_TRUE(walk.bWhole);
        EXPECT_EQ(walk.entries.back().nPos, 0);
        EXPECT_EQ(walk.entries.back().nHandle, c.expected[0]);
    }
}

TEST_F(LogStoreTest, EntryStartingAtTheLastIndexesContinuesAtZero)
{
    for (int i = 0; i < 99998; ++i)
        m_pStore->WriteLog(LOG_HANDLE_CC);
    ASSERT_EQ(m_pStore->GetWritePos(), 99998);
    m_pStore->WriteLog(LOG_HANDLE_MS, 0x1234);
    EXPECT_EQ(RingBytes(99998, 3), (std::vector<uint8_t>{18, 0x34, 0x12}));
    EXPECT_EQ(m_pStore->GetWritePos(), 1);
    EXPECT_EQ(m_pStore->GetOldestPos(), 2);

    Walk walk = WalkLog(*m_pStore);
    ASSERT_TRUE(walk.bWhole);
    ASSERT_EQ(walk.entries.size(), 99997u);
    EXPECT_EQ(walk.entries.front().nPos, 2);
    const LogEntry& last = walk.entries.back();
    EXPECT_EQ(last.nHandle, LOG_HANDLE_MS);
    EXPECT_EQ(last.nPos, 99998);
    EXPECT_EQ(last.nValue, 0x1234u);
}

// An entry as the reader should see it.
struct ModelEntry {
    uint8_t nHandle;
    uint32_t nValue;
    int32_t nLength;
    bool operator==(const ModelEntry&) const = default;
};

// What a write of (handle, parameter) must leave, worked out from the handle's byte count alone.
ModelEntry ExpectedEntry(uint8_t nHandle, int32_t nParamBytes, std::optional<int32_t> nParam)
{
    if (!nParam)
        return nParamBytes == 0 ? ModelEntry{nHandle, 0, 1} : ModelEntry{LOG_HANDLE_Z1, nHandle, 2};
    if (nParamBytes == 0)
        return ModelEntry{LOG_HANDLE_Z2, nHandle, 2};
    const uint64_t nMask = nParamBytes == 4 ? 0xFFFFFFFFull : ((1ull << (8 * nParamBytes)) - 1);
    // Only non-negative values are drawn here: their low bytes are what must survive.
    return ModelEntry{nHandle, static_cast<uint32_t>(static_cast<uint64_t>(*nParam) & nMask), 1 + nParamBytes};
}

// Long random runs across several wraps: after every write the retained log is the longest
// run of the newest entries that fits in 99999 bytes, oldest first, and parses whole.
TEST_F(LogStoreTest, RingKeepsTheNewestWholeEntriesAcrossWraps)
{
    // The program's ring, and a small one that goes round every few entries.
    auto pSmall = std::make_unique<CLogStore>(37);
    pSmall->SetLogDefaults();
    ASSERT_EQ(pSmall->GetRingSize(), 37);
    struct {
        CLogStore* pStore;
        int nSteps;
        int nCheckEvery;
    } cases[] = {{m_pStore.get(), 150000, 9973}, {pSmall.get(), 3000, 1}};
    for (const auto& c : cases) {
        CLogStore& store = *c.pStore;
        const int32_t nRing = store.GetRingSize();
        SCOPED_TRACE(nRing);
        const uint8_t nApp3 = store.GetLogHandle("Drei", "drei Parameterbytes", 3);
        ASSERT_EQ(nApp3, LOG_FIRST_APP_HANDLE);
        const std::vector<uint8_t> handles = {LOG_HANDLE_CC, LOG_HANDLE_MV, LOG_HANDLE_MS, LOG_HANDLE_GS_NT,
                                              LOG_HANDLE_PORT_IOS, nApp3, 77};
        std::mt19937 random(1234);
        std::deque<ModelEntry> history(static_cast<size_t>(nRing), ModelEntry{LOG_HANDLE_FILL, 0, 1});
        int64_t nHistoryBytes = nRing;
        for (int nStep = 0; nStep < c.nSteps; ++nStep) {
            const uint8_t nHandle = handles[random() % handles.size()];
            std::optional<int32_t> nParam;
            if (random() % 5 != 0)
                nParam = static_cast<int32_t>(random() & 0x7FFFFFFF);
            if (nParam)
                store.WriteLog(nHandle, *nParam);
            else
                store.WriteLog(nHandle);
            history.push_back(ExpectedEntry(nHandle, store.GetParamBytes(nHandle), nParam));
            nHistoryBytes += history.back().nLength;
            while (nHistoryBytes > nRing - 1) {
                nHistoryBytes -= history.front().nLength;
                history.pop_front();
            }
            ASSERT_NE(store.GetWritePos(), store.GetOldestPos());
            ASSERT_LT(store.GetWritePos(), nRing);
            if (nStep % c.nCheckEvery != 0 && nStep != c.nSteps - 1)
                continue;
            SCOPED_TRACE(nStep);
            Walk walk = WalkLog(store);
            ASSERT_TRUE(walk.bWhole);
            ASSERT_EQ(walk.nBytes, nHistoryBytes);
            ASSERT_EQ(walk.entries.size(), history.size());
            for (size_t i = 0; i < history.size(); ++i) {
                const LogEntry& e = walk.entries[i];
                ASSERT_EQ((ModelEntry{e.nHandle, e.nValue, 1 + e.nParamBytes}), history[i]) << "entry " << i;
            }
        }
        // What a store of either size saves, one of the same size loads back whole.
        CLogStore reloaded(nRing);
        reloaded.SetLogDefaults();
        std::istringstream in(store.SerializeLog());
        ASSERT_TRUE(reloaded.ReadLog(in).IsUsable());
        EXPECT_EQ(reloaded.SerializeLog(), store.SerializeLog());
    }
}

TEST_F(LogStoreTest, LongEntryOverShortOnesDropsExactlyTheEntriesItReaches)
{
    // A full ring of one-byte entries, then one five-byte entry.
    for (int i = 0; i < 100000 + 17; ++i)
        m_pStore->WriteLog(LOG_HANDLE_CC);
    const int32_t nStart = m_pStore->GetWritePos();
    m_pStore->WriteLog(LOG_HANDLE_PORT_IOS, 0x01020304);
    Walk walk = WalkLog(*m_pStore);
    ASSERT_TRUE(walk.bWhole);
    // The five entries behind the start were dropped: the write position reached the first
    // byte of each; the sixth survives as the oldest.
    EXPECT_EQ(walk.entries.front().nPos, (nStart + 6) % CLogStore::LOG_RING_SIZE);
    EXPECT_EQ(walk.nBytes, 99999);

    // Then a one-byte entry over five-byte entries: the entry whose first byte is reached goes
    // whole, and the bytes behind it are left out of the retained range.
    m_pStore->ClearLog();
    for (int i = 0; i < 20001; ++i)
        m_pStore->WriteLog(LOG_HANDLE_PORT_IOS, i);
    ASSERT_EQ(m_pStore->GetWritePos(), 5);
    Walk full = WalkLog(*m_pStore);
    ASSERT_TRUE(full.bWhole);
    EXPECT_EQ(full.nBytes, 99995);  // 19999 five-byte entries; the one at 5 went when 4 was written
    m_pStore->WriteLog(LOG_HANDLE_CC);
    EXPECT_EQ(m_pStore->GetOldestPos(), 10);  // the gap of the dropped entry took the byte
    EXPECT_EQ(WalkLog(*m_pStore).nBytes, 99996);
    for (int i = 0; i < 4; ++i)
        m_pStore->WriteLog(LOG_HANDLE_CC);
    Walk after = WalkLog(*m_pStore);
    ASSERT_TRUE(after.bWhole);
    EXPECT_EQ(m_pStore->GetOldestPos(), 15);
    EXPECT_EQ(after.nBytes, 99995);
    EXPECT_EQ(after.entries.front().nValue, 3u);
    EXPECT_EQ(after.entries.back().nHandle, LOG_HANDLE_CC);
}

TEST_F(LogStoreTest, GetLogHandleFindsAssignsAndRunsOut)
{
    EXPECT_EQ(m_pStore->GetLogHandle("Sende 0 Daten", "erste", 1), 48);
    EXPECT_EQ(m_pStore->GetLogHandle("Sende 0 Daten", "erste", 2), 48);  // found, row left as it was
    EXPECT_EQ(m_pStore->GetParamBytes(48), 1);
    EXPECT_EQ(m_pStore->GetLogHandle("Sende 0 Daten", "zweite", 1), 49);
    EXPECT_EQ(m_pStore->GetLogHandle("sende 0 daten", "erste", 1), 50);  // case counts
    EXPECT_EQ(m_pStore->GetLogHandle("MP", "ModulPort", 4), LOG_HANDLE_MP);
    EXPECT_EQ(m_pStore->GetParamBytes(LOG_HANDLE_MP), 2);

    // 202 distinct registrations fill 48..249; the 203rd finds nothing.
    for (int i = 3; i <= 201; ++i)
        ASSERT_EQ(m_pStore->GetLogHandle("H", std::to_string(i), 2), 48 + i) << i;
    const std::string strCode250 = m_pStore->GetHandleCode(250);
    EXPECT_EQ(m_pStore->GetLogHandle("H", "one too many", 2), 0);
    EXPECT_EQ(m_pStore->GetHandleCode(250), strCode250);
    EXPECT_EQ(m_pStore->GetHandleCode(0), "F0");
    EXPECT_EQ(m_pStore->GetShowFlag(0), 2);
    EXPECT_EQ(m_pStore->GetLogHandle("H", "201", 2), 249);  // still found when full
}

TEST_F(LogStoreTest, GetLogHandleSetsTheShowFlagAndClampsByteCounts)
{
    m_pStore->SetShowFlag(LOG_HANDLE_MP, 0);
    EXPECT_EQ(m_pStore->GetLogHandle("MP", "ModulPort", 2), LOG_HANDLE_MP);
    EXPECT_EQ(m_pStore->GetShowFlag(LOG_HANDLE_MP), 1);

    const uint8_t nWide = m_pStore->GetLogHandle("W", "zu breit", 9);
    const uint8_t nNegative = m_pStore->GetLogHandle("N", "negativ", -3);
    EXPECT_EQ(m_pStore->GetShowFlag(nWide), 1);
    EXPECT_EQ(m_pStore->GetParamBytes(nWide), 4);
    EXPECT_EQ(m_pStore->GetParamBytes(nNegative), 0);

    // The rows whose entries the store writes itself keep their lengths.
    m_pStore->SetSystemHandle(LOG_HANDLE_Z1, "Z1", "anders", 0);
    m_pStore->SetSystemHandle(LOG_HANDLE_Z2, "Z2", "anders", 4);
    m_pStore->SetSystemHandle(LOG_HANDLE_FILL, "--", "anders", 1);
    EXPECT_EQ(m_pStore->GetHandleDescription(LOG_HANDLE_Z1), "anders");
    EXPECT_EQ(m_pStore->GetParamBytes(LOG_HANDLE_Z1), 1);
    EXPECT_EQ(m_pStore->GetParamBytes(LOG_HANDLE_Z2), 1);
    EXPECT_EQ(m_pStore->GetParamBytes(LOG_HANDLE_FILL), 0);

    // Entries of such rows stay readable.
    m_pStore->WriteLog(nWide, 0x11223344);
    m_pStore->WriteLog(nNegative);
    m_pStore->WriteLog(nNegative, 5);
    Walk walk = WalkLog(*m_pStore);
    ASSERT_TRUE(walk.bWhole);
    ASSERT_GE(walk.entries.size(), 3u);
    const size_t n = walk.entries.size();
    EXPECT_EQ(walk.entries[n - 3].nValue, 0x11223344u);
    EXPECT_EQ(walk.entries[n - 2].nHandle, nNegative);
    EXPECT_EQ(walk.entries[n - 1].nHandle, LOG_HANDLE_Z2);
}

TEST_F(LogStoreTest, SetShowFlagReturnsTheHandleAndClearLogKeepsEverythingElse)
{
    EXPECT_EQ(m_pStore->SetShowFlag(77, 2), 77);
    EXPECT_EQ(m_pStore->GetShowFlag(77), 2);
    const uint8_t nHandle = m_pStore->GetLogHandle("X", "y", 1);
    m_pStore->WriteLog(nHandle, 1);
    m_pStore->ClearLog();
    EXPECT_EQ(m_pStore->GetHandleCode(nHandle), "X");
    EXPECT_EQ(m_pStore->GetShowFlag(77), 2);
    EXPECT_EQ(m_pStore->GetWritePos(), 0);
    EXPECT_EQ(m_pStore->GetOldestPos(), 0);
    for (int i = 0; i < CLogStore::LOG_RING_SIZE; ++i)
        ASSERT_EQ(m_pStore->GetLogBuffer()[i], CLogStore::LOG_FILL_BYTE) << i;
}

}  // namespace
