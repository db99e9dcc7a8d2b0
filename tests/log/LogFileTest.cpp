// Saving and loading the log file.
#include "LogTestSupport.h"

#include "log/SystemHandles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <stdexcept>
#include <regex>
#include <sstream>
#include <sys/resource.h>

namespace {

// A store whose identification a test may set, as another program writing the file could.
class CTestStore : public CLogStore {
public:
    void SetKennung(const std::string& str) { m_strSoftwareKennung = str; }
    void SetLogTime(const std::string& str) { m_strLogTime = str; }
};

std::unique_ptr<CTestStore> MakeTestStore(const std::filesystem::path& logfile)
{
    auto pStore = std::make_unique<CTestStore>();
    pStore->SetLogfilePath(logfile);
    pStore->InitLog();
    return pStore;
}

// A store with some history: registered handles, entries past a wrap, changed show flags.
void FillWithHistory(CLogStore& store)
{
    store.ClearLog();
    const uint8_t nSend = store.GetLogHandle("Sende 0 Daten", "Daten \xFC" "bertragen", 1);
    store.GetLogHandle("Init", "Init-Paket", 0);
    for (int i = 0; i < 40000; ++i) {
        store.WriteLog(LOG_HANDLE_GS_NT, i);
        if (i % 100 == 0)
            store.WriteLog(nSend, i);
        if (i % 1000 == 0)
            store.WriteLog(LOG_HANDLE_MS);
    }
    store.SetShowFlag(LOG_HANDLE_GS_NT, 0);
    store.SetShowFlag(200, 7);
}

std::vector<std::pair<uint8_t, uint32_t>> Lengths(const std::vector<Chunk>& chunks)
{
    std::vector<std::pair<uint8_t, uint32_t>> out;
    for (const Chunk& chunk : chunks)
        out.emplace_back(chunk.nType, chunk.nLength);
    return out;
}

TEST(LogFile, DefaultStoreSavesTheKnownLayout)
{
    CScratchFolder dir;
    auto pStore = MakeStore(dir / "Tarvo.log");
    ASSERT_TRUE(pStore->SaveLogfile());
    const std::string bytes = ReadBytes(dir / "Tarvo.log");
    ASSERT_EQ(bytes.size(), 122308u);
    EXPECT_EQ(bytes.substr(0, 20), "Tarvo Logfile V-1000");
    const std::vector<Chunk> chunks = SplitChunks(bytes);
    const std::vector<std::pair<uint8_t, uint32_t>> expected = {
        {1, 56}, {2, 9}, {3, 100005}, {4, 21929}, {5, 9}, {6, 261}, {7, 14}, {0, 5}};
    EXPECT_EQ(Lengths(chunks), expected);
    ASSERT_EQ(chunks.size(), expected.size());

    EXPECT_EQ(chunks[0].strPayload, std::string("\x31\x00", 2) + "StandartLogfile Bitte SetSoftwareKennung aufrufen");
    EXPECT_EQ(chunks[1].strPayload, std::string(4, '\0'));
    EXPECT_EQ(chunks[2].strPayload, std::string(100000, '\x0F'));
    // The first record of the table: tag, count, code, tag, count, description, tag, byte count.
    const std::string strF0 = pStore->GetHandleDescription(0);
    const std::string strRecord0 = std::string("\x01\x02\x00", 3) + "F0" + '\x02' +
                                   static_cast<char>(strF0.size()) + '\0' + strF0 + '\x03' + std::string(4, '\0');
    EXPECT_EQ(chunks[3].strPayload.substr(0, strRecord0.size()), strRecord0);
    // Handle 4's record carries its count 4 and the code with the 0xB4 byte.
    EXPECT_NE(chunks[3].strPayload.find(std::string("\x01\x09\x00", 3) + "Port IO\xB4s\x02"), std::string::npos);
    EXPECT_EQ(chunks[4].strPayload, std::string(4, '\0'));
    EXPECT_EQ(static_cast<uint8_t>(chunks[5].strPayload[15]), 0);
    EXPECT_EQ(static_cast<uint8_t>(chunks[5].strPayload[25]), 1);
    EXPECT_TRUE(std::regex_match(chunks[6].strPayload, std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]:")))
        << chunks[6].strPayload;
    EXPECT_EQ(chunks[6].strPayload, pStore->GetLogTime());
}

TEST(LogFile, SaveAndLoadReproduceTheStoreByteForByte)
{
    CScratchFolder dir;
    auto pOriginal = MakeTestStore(dir / "Tarvo.log");
    FillWithHistory(*pOriginal);
    pOriginal->SetKennung("Quillomat \xE4\xF6\xFC Test");
    ASSERT_TRUE(pOriginal->SaveLogfile());

    auto pLoaded = MakeStore(dir / "Tarvo.log");
    EXPECT_EQ(pLoaded->GetWritePos(), pOriginal->GetWritePos());
    EXPECT_EQ(pLoaded->GetOldestPos(), pOriginal->GetOldestPos());
    EXPECT_EQ(std::memcmp(pLoaded->GetLogBuffer(), pOriginal->GetLogBuffer(), CLogStore::LOG_RING_SIZE), 0);
    for (int i = 0; i < 256; ++i) {
        const uint8_t n = static_cast<uint8_t>(i);
        ASSERT_EQ(pLoaded->GetHandleCode(n), pOriginal->GetHandleCode(n)) << i;
        ASSERT_EQ(pLoaded->GetHandleDescription(n), pOriginal->GetHandleDescription(n)) << i;
        ASSERT_EQ(pLoaded->GetParamBytes(n), pOriginal->GetParamBytes(n)) << i;
        ASSERT_EQ(pLoaded->GetShowFlag(n), pOriginal->GetShowFlag(n)) << i;
    }
    EXPECT_EQ(pLoaded->GetSoftwareKennung(), "Quillomat \xE4\xF6\xFC Test");
    EXPECT_EQ(pLoaded->GetLogTime(), pOriginal->GetLogTime());
    EXPECT_EQ(pLoaded->SerializeLog(), ReadBytes(dir / "Tarvo.log"));

    // Handles carry over: registering again gives the same numbers.
    EXPECT_EQ(pLoaded->GetLogHandle("Init", "Init-Paket", 0), 49);
    EXPECT_EQ(pLoaded->GetLogHandle("Neu", "neu", 0), 50);
}

TEST(LogFile, SaveReplacesTheFileAndLeavesNothingElse)
{
    CScratchFolder dir;
    WriteBytes(dir / "Tarvo.log", std::string(500000, 'x'));
    auto pStore = MakeStore(dir / "Tarvo.log");  // a foreign file: ignored
    EXPECT_EQ(pStore->GetSoftwareKennung(), "StandartLogfile Bitte SetSoftwareKennung aufrufen");
    ASSERT_TRUE(pStore->SaveLogfile());
    EXPECT_EQ(std::filesystem::file_size(dir / "Tarvo.log"), 122308u);
    int nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++nFiles;
    }
    EXPECT_EQ(nFiles, 1);
}

TEST(LogFile, SaveReportsFailureAndKeepsThePreviousFile)
{
    CScratchFolder dir;
    auto pStore = MakeTestStore(dir / "missing" / "Tarvo.log");
    pStore->SetLogTime("xx");
    const int32_t nWrite = pStore->GetWritePos();
    EXPECT_FALSE(pStore->SaveLogfile());
    EXPECT_EQ(pStore->GetLogTime().size(), 9u);  // only the time text changed
    EXPECT_EQ(pStore->GetWritePos(), nWrite);

    // The target is a folder: it cannot be replaced.
    std::filesystem::create_directory(dir / "Folder.log");
    pStore->SetLogfilePath(dir / "Folder.log");
    EXPECT_FALSE(pStore->SaveLogfile());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "Folder.log"));

    // The disk fills up in the middle of the save: the old file stays whole, no leftovers.
    const std::string strPrevious = "Tarvo Logfile V-1000" + ChunkBytes(MakeChunk(0, ""));
    WriteBytes(dir / "Tarvo.log", strPrevious);
    pStore->SetLogfilePath(dir / "Tarvo.log");
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 50000;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool bSaved = pStore->SaveLogfile();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(bSaved);
    EXPECT_EQ(ReadBytes(dir / "Tarvo.log"), strPrevious);
    int nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        nFiles += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(nFiles, 1);
}

// A serialized store without its time text, which follows the clock.
std::string WithoutTime(std::string bytes)
{
    return bytes.erase(bytes.size() - 5 - 9, 9);
}

class LogFileLoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pSource = MakeTestStore(m_Dir / "source.log");
        FillWithHistory(*m_pSource);
        m_pSource->SetKennung("Quelle");
        m_pSource->SetLogTime("12:34:56:");
        m_Chunks = SplitChunks(m_pSource->SerializeLog());
        ASSERT_EQ(m_Chunks.size(), 8u);
        m_pTarget = MakeStore(m_Dir / "Tarvo.log");
        m_strDefaults = WithoutTime(m_pTarget->SerializeLog());
    }
    // Loads the bytes as LoadLogfile would, from the store's own file.
    LogLoadResult Load(const std::string& bytes)
    {
        WriteBytes(m_Dir / "Tarvo.log", bytes);
        m_pTarget = MakeStore(m_Dir / "Tarvo.log");
        std::ifstream in(m_Dir / "Tarvo.log", std::ios::binary);
        auto pCheck = std::make_unique<CLogStore>();
        pCheck->SetLogDefaults();
        return pCheck->ReadLog(in);
    }
    const Chunk& ChunkOfType(uint8_t nType) const
    {
        for (const Chunk& chunk : m_Chunks)
            if (chunk.nType == nType)
                return chunk;
        throw std::logic_error("no such chunk");
    }
    bool SameRing() const
    {
        return std::memcmp(m_pTarget->GetLogBuffer(), m_pSource->GetLogBuffer(), CLogStore::LOG_RING_SIZE) == 0;
    }
    CScratchFolder m_Dir;
    std::unique_ptr<CTestStore> m_pSource;
    std::unique_ptr<CLogStore> m_pTarget;
    std::vector<Chunk> m_Chunks;
    std::string m_strDefaults;
};

TEST_F(LogFileLoadTest, AnyOtherVersionLoads)
{
    for (const char* pszVersion : {"1000", "0999", "2000", "abcd"}) {
        SCOPED_TRACE(pszVersion);
        const LogLoadResult result = Load(JoinFile(m_Chunks, std::string("Tarvo Logfile V-") + pszVersion));
        EXPECT_TRUE(result.IsUsable());
        EXPECT_EQ(result.strVersion, pszVersion);
        EXPECT_EQ(m_pTarget->GetSoftwareKennung(), "Quelle");
        EXPECT_TRUE(SameRing());
    }
}

TEST_F(LogFileLoadTest, AWrongHeaderCharacterIgnoresTheWholeFile)
{
    const std::string strMagic = "Tarvo Logfile V-";
    for (size_t i = 0; i < strMagic.size(); ++i) {
        std::string strHeader = strMagic + "1000";
        strHeader[i] = static_cast<char>(strHeader[i] ^ 0x20);
        const LogLoadResult result = Load(JoinFile(m_Chunks, strHeader));
        EXPECT_FALSE(result.bHeaderValid) << i;
        EXPECT_EQ(WithoutTime(m_pTarget->SerializeLog()), m_strDefaults) << i;
    }
    for (const std::string& strShort : {std::string(), std::string("Tarvo Log")}) {
        const LogLoadResult result = Load(strShort);
        EXPECT_FALSE(result.bHeaderValid);
        EXPECT_EQ(WithoutTime(m_pTarget->SerializeLog()), m_strDefaults);
    }
}

TEST_F(LogFileLoadTest, UnknownChunksArePassedOverByTheirLength)
{
    std::vector<Chunk> chunks = m_Chunks;
    chunks.insert(chunks.begin() + 2, MakeChunk(9, "1234567"));                  // length 12
    chunks.insert(chunks.begin() + 5, MakeChunk(200, std::string(70001, '\x04')));  // several portions
    const LogLoadResult result = Load(JoinFile(chunks));
    EXPECT_TRUE(result.IsUsable());
    EXPECT_TRUE(result.bEndChunk);
    EXPECT_TRUE(SameRing());
    EXPECT_EQ(m_pTarget->GetOldestPos(), m_pSource->GetOldestPos());
    EXPECT_EQ(m_pTarget->GetLogTime(), "12:34:56:");
}

TEST_F(LogFileLoadTest, ChunksInAnyOrderAndTheLastRepeatWins)
{
    std::vector<Chunk> chunks(m_Chunks.rbegin() + 1, m_Chunks.rend());  // all but the end chunk, reversed
    Chunk otherKennung = MakeChunk(1, std::string("\x05\x00", 2) + "Erste");
    chunks.insert(chunks.begin(), otherKennung);
    chunks.push_back(MakeChunk(7, "01:02:03:"));
    chunks.push_back(m_Chunks.back());
    const LogLoadResult result = Load(JoinFile(chunks));
    EXPECT_TRUE(result.IsUsable());
    EXPECT_EQ(m_pTarget->GetSoftwareKennung(), "Quelle");
    EXPECT_EQ(m_pTarget->GetLogTime(), "01:02:03:");
    EXPECT_EQ(m_pTarget->GetWritePos(), m_pSource->GetWritePos());
    EXPECT_TRUE(SameRing());
}

TEST_F(LogFileLoadTest, AShortRingChunkFillsOnlyTheStart)
{
    // A ring of 10 bytes with a retained log of three entries in it.
    std::vector<Chunk> chunks = {
        MakeChunk(2, U32Bytes(6)),
        MakeChunk(3, std::string("\x15\x19\x88\x81\x13\x03\x0F\x0F\x0F\x0F", 10)),
        MakeChunk(5, U32Bytes(0)),
        m_Chunks.back(),
    };
    const LogLoadResult result = Load(JoinFile(chunks));
    EXPECT_EQ(result.nRingBytes, 10);
    EXPECT_EQ(m_pTarget->GetLogBuffer()[4], 0x13);
    for (int i = 10; i < CLogStore::LOG_RING_SIZE; ++i)
        ASSERT_EQ(m_pTarget->GetLogBuffer()[i], CLogStore::LOG_FILL_BYTE) << i;
    Walk walk = WalkLog(*m_pTarget);
    ASSERT_TRUE(walk.bWhole);
    ASSERT_EQ(walk.entries.size(), 3u);
    EXPECT_EQ(walk.entries[1].nValue, 0x8188u);
    EXPECT_EQ(walk.entries[2].nValue, 3u);
}

TEST_F(LogFileLoadTest, ACutFileLoadsWhatPrecedesTheCut)
{
    const std::string whole = JoinFile(m_Chunks);
    const size_t nRingEnd = 20 + m_Chunks[0].nLength + m_Chunks[1].nLength + m_Chunks[2].nLength;
    struct CutCase {
        const char* pszName;
        size_t nCut;
        bool bKennung, bWritePos, bRing, bTable, bOldest, bFlags, bTime;
    };
    const std::vector<CutCase> cases = {
        {"inside the version", 18, false, false, false, false, false, false, false},
        {"inside chunk 1", 30, false, false, false, false, false, false, false},
        {"inside the ring", nRingEnd - 50000, true, true, false, false, false, false, false},
        {"inside the table", nRingEnd + 3000, true, true, true, false, false, false, false},
        {"inside the show flags", whole.size() - 100, true, true, true, true, true, false, false},
        {"without the end chunk", whole.size() - 5, true, true, true, true, true, true, true},
        {"inside the end chunk", whole.size() - 2, true, true, true, true, true, true, true},
    };
    for (const CutCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        const LogLoadResult result = Load(whole.substr(0, c.nCut));
        EXPECT_TRUE(result.bCut || !result.bEndChunk);
        EXPECT_FALSE(result.bEndChunk);
        EXPECT_EQ(m_pTarget->GetSoftwareKennung() == "Quelle", c.bKennung);
        EXPECT_EQ(result.bWritePos, c.bWritePos);
        EXPECT_EQ(result.nRingBytes == CLogStore::LOG_RING_SIZE, c.bRing);
        EXPECT_EQ(result.nTableRows == 256, c.bTable);
        EXPECT_EQ(result.bOldestPos, c.bOldest);
        EXPECT_EQ(result.nShowFlags == 256, c.bFlags);
        EXPECT_EQ(m_pTarget->GetLogTime() == "12:34:56:", c.bTime);
        if (c.bTime) {
            EXPECT_TRUE(result.IsUsable());
        }
        // Whatever arrived, the store stays consistent and writable.
        Walk walk = WalkLog(*m_pTarget);
        EXPECT_TRUE(walk.bWhole);
        m_pTarget->WriteLog(LOG_HANDLE_CC);
        EXPECT_TRUE(WalkLog(*m_pTarget).bWhole);
    }
    // Cut inside the table: the rows before the cut were taken, the rest kept their defaults.
    Load(whole.substr(0, nRingEnd + 3000));
    EXPECT_EQ(m_pTarget->GetHandleCode(1), "Z1");
    EXPECT_EQ(m_pTarget->GetHandleCode(48), "xB");  // not yet reached: still the default
    EXPECT_EQ(m_pTarget->GetWritePos(), m_pSource->GetWritePos());
}

TEST_F(LogFileLoadTest, ReadLogfileOnAMissingFileOpensNothing)
{
    auto pStore = std::make_unique<CLogStore>();
    pStore->SetLogDefaults();
    const std::string strBefore = pStore->SerializeLog();
    const LogLoadResult result = pStore->ReadLogfile(m_Dir / "nothing.log");
    EXPECT_FALSE(result.bOpened);
    EXPECT_FALSE(result.IsUsable());
    EXPECT_EQ(pStore->SerializeLog(), strBefore);
}

}  // namespace
