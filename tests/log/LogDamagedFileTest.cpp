// Foreign or damaged log files: whatever they hold, the store stays inside its limits, the
// retained log stays readable and the next entries are written as on a sound log.
#include "LogTestSupport.h"

#include "log/SystemHandles.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

std::string Record(const std::string& strCode, const std::string& strDescription, int32_t nParamBytes)
{
    auto text = [](const std::string& str) {
        return std::string{static_cast<char>(str.size() & 0xFF), static_cast<char>(str.size() >> 8)} + str;
    };
    return '\x01' + text(strCode) + '\x02' + text(strDescription) + '\x03' + U32Bytes(static_cast<uint32_t>(nParamBytes));
}

// A table chunk with every row as the defaults have it, except those given.
Chunk TableChunk(const CLogStore& defaults, const std::vector<std::pair<int, int32_t>>& counts = {})
{
    std::string payload;
    for (int i = 0; i < 256; ++i) {
        int32_t nParamBytes = defaults.GetParamBytes(static_cast<uint8_t>(i));
        for (const auto& [nHandle, nCount] : counts)
            if (nHandle == i)
                nParamBytes = nCount;
        payload += Record(defaults.GetHandleCode(static_cast<uint8_t>(i)),
                          defaults.GetHandleDescription(static_cast<uint8_t>(i)), nParamBytes);
    }
    return MakeChunk(4, payload);
}

// A ring of fill bytes with the given bytes from index 0.
Chunk RingChunk(const std::string& strStart, size_t nSize = 100000)
{
    std::string ring(nSize, '\x0F');
    ring.replace(0, std::min(strStart.size(), nSize), strStart.substr(0, nSize));
    return MakeChunk(3, ring);
}

Chunk PosChunk(uint8_t nType, int32_t nPos) { return MakeChunk(nType, U32Bytes(static_cast<uint32_t>(nPos))); }

const Chunk kEnd = MakeChunk(0, "");

// Three entries at 0..5: CC, GS NT 0x8188, MV 3.
const std::string kThreeEntries("\x15\x19\x88\x81\x13\x03", 6);

struct DamageCase {
    const char* pszName;
    std::function<std::string(const CLogStore& defaults)> makeFile;
    std::function<void(const CLogStore& store, const LogLoadResult& result)> check;
};

// After any load: the store's limits and invariants hold and survive a long run of writes
// that wraps the ring twice.
void ExpectSoundAfterWrites(CLogStore& store)
{
    ASSERT_GE(store.GetWritePos(), 0);
    ASSERT_LT(store.GetWritePos(), CLogStore::LOG_RING_SIZE);
    ASSERT_GE(store.GetOldestPos(), 0);
    ASSERT_LT(store.GetOldestPos(), CLogStore::LOG_RING_SIZE);
    for (int i = 0; i < 256; ++i) {
        ASSERT_GE(store.GetParamBytes(static_cast<uint8_t>(i)), 0);
        ASSERT_LE(store.GetParamBytes(static_cast<uint8_t>(i)), 4);
    }
    Walk before = WalkLog(store);
    ASSERT_TRUE(before.bWhole);
    for (int i = 0; i < 90000; ++i) {
        store.WriteLog(static_cast<uint8_t>(i % 256), i);
        store.WriteLog(LOG_HANDLE_CC);
        if (i % 9973 == 0) {
            ASSERT_NE(store.GetWritePos(), store.GetOldestPos());
            ASSERT_TRUE(WalkLog(store).bWhole) << "after " << i;
        }
    }
    Walk after = WalkLog(store);
    ASSERT_TRUE(after.bWhole);
    EXPECT_GE(after.nBytes, 100000 - 5);
    EXPECT_LE(after.nBytes, 99999);
    // The last write was WriteLog(CC): its own entry, or Z1 naming it where a damaged table
    // gave CC a parameter.
    const LogEntry& last = after.entries.back();
    if (store.GetParamBytes(LOG_HANDLE_CC) == 0) {
        EXPECT_EQ(last.nHandle, LOG_HANDLE_CC);
    } else {
        EXPECT_EQ(last.nHandle, LOG_HANDLE_Z1);
        EXPECT_EQ(last.nValue, LOG_HANDLE_CC);
    }
}

class LogDamagedFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pDefaults = std::make_unique<CLogStore>();
        m_pDefaults->SetLogDefaults();
    }
    CScratchFolder m_Dir;
    std::unique_ptr<CLogStore> m_pDefaults;
};

TEST_F(LogDamagedFileTest, EveryDamageLeavesASoundStore)
{
    const std::string kHeader = "Tarvo Logfile V-1000";
    const std::vector<DamageCase> cases = {
        {"sound small file",
         [&](const CLogStore& d) {
             return JoinFile({PosChunk(2, 6), RingChunk(kThreeEntries), TableChunk(d), PosChunk(5, 0), kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.IsUsable());
             EXPECT_EQ(WalkLog(s).entries.size(), 3u);
         }},
        {"chunk length below 5 stops the reading",
         [&](const CLogStore& d) {
             Chunk bad = PosChunk(5, 2);
             bad.nLength = 3;
             return JoinFile({PosChunk(2, 6), RingChunk(kThreeEntries), bad, TableChunk(d, {{21, 4}}), kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.bBadChunkLength);
             EXPECT_FALSE(r.bOldestPos);
             EXPECT_EQ(r.nTableRows, 0);
             EXPECT_EQ(s.GetParamBytes(LOG_HANDLE_CC), 0);
             EXPECT_EQ(s.GetWritePos(), 6);
             EXPECT_EQ(WalkLog(s).entries.size(), 3u);
         }},
        {"chunk length zero",
         [&](const CLogStore&) { return kHeader + std::string(5, '\0') + ChunkBytes(PosChunk(2, 6)); },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.bBadChunkLength);
             EXPECT_FALSE(r.bWritePos);
             EXPECT_EQ(s.GetWritePos(), 0);
         }},
        {"ring chunk longer than the ring",
         [&](const CLogStore& d) {
             return JoinFile({PosChunk(2, 6), RingChunk(kThreeEntries, 100000 + 40000), TableChunk(d), PosChunk(5, 0),
                              kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.IsUsable());
             EXPECT_EQ(r.nRingBytes, 100000);
             EXPECT_EQ(r.nOversizeBytes, 40000);
             EXPECT_TRUE(r.bEndChunk);
             EXPECT_EQ(WalkLog(s).entries.size(), 3u);
         }},
        {"show flag chunk longer than 256",
         [&](const CLogStore& d) {
             return JoinFile({MakeChunk(6, std::string(300, '\x02')), PosChunk(2, 6), RingChunk(kThreeEntries),
                              TableChunk(d), PosChunk(5, 0), kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.IsUsable());
             EXPECT_EQ(r.nShowFlags, 256);
             EXPECT_EQ(r.nOversizeBytes, 44);
             EXPECT_EQ(s.GetShowFlag(LOG_HANDLE_FILL), 2);
             EXPECT_EQ(s.GetWritePos(), 6);
         }},
        {"write position past the ring",
         [&](const CLogStore& d) {
             return JoinFile({PosChunk(2, 100000), RingChunk(kThreeEntries), TableChunk(d), PosChunk(5, 0), kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.bRingDiscarded);
             EXPECT_FALSE(r.IsUsable());
             EXPECT_EQ(s.GetWritePos(), 0);
             EXPECT_EQ(s.GetOldestPos(), 0);
             EXPECT_EQ(s.GetLogBuffer()[0], CLogStore::LOG_FILL_BYTE);
         }},
        {"negative oldest position",
         [&](const CLogStore& d) {
             return JoinFile({PosChunk(2, 6), RingChunk(kThreeEntries), TableChunk(d), PosChunk(5, -1), kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.bRingDiscarded);
             EXPECT_TRUE(WalkLog(s).entries.empty());
         }},
        {"oldest position inside an entry",
         [&](const CLogStore& d) {
             return JoinFile({PosChunk(2, 3), RingChunk(kThreeEntries), TableChunk(d), PosChunk(5, 1), kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.bRingDiscarded);  // GS NT at 1 needs three bytes, two lie before 3
             EXPECT_EQ(s.GetWritePos(), 0);
         }},
        {"equal positions away from zero: an empty log",
         [&](const CLogStore& d) {
             return JoinFile({PosChunk(2, 4), RingChunk(kThreeEntries), TableChunk(d), PosChunk(5, 4), kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.IsUsable());
             EXPECT_EQ(s.GetWritePos(), 4);
             EXPECT_TRUE(WalkLog(s).entries.empty());
         }},
        {"equal positions whose ring does not go round in whole entries",
         [&](const CLogStore& d) {
             // From 5 round the ring, MV at 4 covers 4 and 5: past the start.
             return JoinFile({PosChunk(2, 5), RingChunk(kThreeEntries), TableChunk(d), PosChunk(5, 5), kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.bRingDiscarded);
             EXPECT_EQ(s.GetWritePos(), 0);
         }},
        {"byte counts of the rows the store writes itself",
         [&](const CLogStore& d) {
             return JoinFile({PosChunk(2, 6), RingChunk(kThreeEntries),
                              TableChunk(d, {{LOG_HANDLE_Z1, 0}, {LOG_HANDLE_Z2, 3}, {LOG_HANDLE_FILL, 2}}),
                              PosChunk(5, 0), kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_EQ(r.nParamCountsMended, 3);
             EXPECT_EQ(s.GetParamBytes(LOG_HANDLE_Z1), 1);
             EXPECT_EQ(s.GetParamBytes(LOG_HANDLE_Z2), 1);
             EXPECT_EQ(s.GetParamBytes(LOG_HANDLE_FILL), 0);
             EXPECT_TRUE(r.IsUsable());
         }},
        {"parameter byte counts outside 0..4",
         [&](const CLogStore& d) {
             return JoinFile({PosChunk(2, 6), RingChunk(kThreeEntries),
                              TableChunk(d, {{50, -1}, {51, 5}, {52, 1000000}, {53, INT32_MIN}, {54, INT32_MAX}}),
                              PosChunk(5, 0), kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_EQ(r.nParamCountsMended, 5);
             EXPECT_EQ(s.GetParamBytes(50), 0);
             EXPECT_EQ(s.GetParamBytes(51), 4);
             EXPECT_EQ(s.GetParamBytes(52), 4);
             EXPECT_EQ(s.GetParamBytes(53), 0);
             EXPECT_EQ(s.GetParamBytes(54), 4);
             EXPECT_TRUE(r.IsUsable());
         }},
        {"a table that no longer fits the ring",
         [&](const CLogStore& d) {
             // CC with four parameter bytes: the three entries no longer end at 6.
             return JoinFile({PosChunk(2, 6), RingChunk(kThreeEntries), TableChunk(d, {{21, 4}}), PosChunk(5, 0), kEnd});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.bRingDiscarded);
             EXPECT_EQ(s.GetParamBytes(LOG_HANDLE_CC), 4);  // the table itself is kept
         }},
        {"text counts larger than the data",
         [&](const CLogStore&) {
             return kHeader + ChunkBytes(Chunk{7, 1, std::string("\xFF\xFF", 2) + "abc"});
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.bCut);
             EXPECT_EQ(s.GetSoftwareKennung(), "StandartLogfile Bitte SetSoftwareKennung aufrufen");
         }},
        {"huge chunk length of an unknown type",
         [&](const CLogStore&) { return kHeader + ChunkBytes(Chunk{0xFFFFFFFFu, 77, "xyz"}); },
         [](const CLogStore&, const LogLoadResult& r) { EXPECT_TRUE(r.bCut); }},
        {"huge ring chunk length",
         [&](const CLogStore&) { return kHeader + ChunkBytes(Chunk{0xFFFFFFFFu, 3, kThreeEntries}); },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_EQ(r.nRingBytes, 6);
             EXPECT_TRUE(r.bCut);
             EXPECT_EQ(s.GetLogBuffer()[1], 0x19);
         }},
        {"table cut in a record",
         [&](const CLogStore& d) {
             const std::string table = ChunkBytes(TableChunk(d, {{0, 1}, {1, 0}}));
             return kHeader + table.substr(0, 5 + 200);
         },
         [](const CLogStore& s, const LogLoadResult& r) {
             EXPECT_TRUE(r.bCut);
             EXPECT_EQ(r.nTableRows, 1);
             EXPECT_EQ(s.GetParamBytes(0), 1);
             EXPECT_EQ(s.GetParamBytes(1), 1);  // row 1 was cut: not taken
         }},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        const std::string bytes = c.makeFile(*m_pDefaults);
        // Once through a stream, once through the file as the receive dialog loads it.
        auto pStore = std::make_unique<CLogStore>();
        pStore->SetLogDefaults();
        std::istringstream in(bytes);
        const LogLoadResult result = pStore->ReadLog(in);
        ASSERT_TRUE(result.bHeaderValid);
        c.check(*pStore, result);
        ExpectSoundAfterWrites(*pStore);

        WriteBytes(m_Dir / "Tarvo.log", bytes);
        auto pLoaded = MakeStore(m_Dir / "Tarvo.log");
        ExpectSoundAfterWrites(*pLoaded);
    }
}

}  // namespace
