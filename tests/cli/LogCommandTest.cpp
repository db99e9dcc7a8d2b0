// quillomat-cli log: listing a log file, and refusing files it cannot make sense of.
#include "log/LogTestSupport.h"

#include "log/SystemHandles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <sys/wait.h>

namespace {

struct CliRun {
    int nStatus = -1;
    std::string strOut;
    std::string strErr;
};

CliRun RunCli(const CScratchFolder& dir, const std::string& strArgs)
{
    const std::filesystem::path errFile = dir / "stderr.txt";
    const std::string strCommand =
        std::string("'") + QUILLOMAT_CLI_PATH + "' " + strArgs + " 2>'" + errFile.string() + "'";
    CliRun run;
    FILE* pPipe = ::popen(strCommand.c_str(), "r");
    if (!pPipe)
        return run;
    char buffer[65536];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pPipe)) > 0)
        run.strOut.append(buffer, n);
    const int nWait = ::pclose(pPipe);
    run.nStatus = WIFEXITED(nWait) ? WEXITSTATUS(nWait) : -1;
    run.strErr = ReadBytes(errFile);
    return run;
}

std::vector<std::string> Lines(const std::string& str)
{
    std::vector<std::string> lines;
    std::istringstream in(str);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

size_t CountLinesStartingWith(const std::string& str, const std::string& strPrefix)
{
    size_t n = 0;
    for (const std::string& line : Lines(str))
        n += line.rfind(strPrefix, 0) == 0 ? 1 : 0;
    return n;
}

class LogCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_pStore = MakeStore(m_Dir / "Tarvo.log");
        m_pStore->ClearLog();
        m_pStore->WriteLog(LOG_HANDLE_CC);
        m_pStore->WriteLog(LOG_HANDLE_MP, 888);
        for (int i = 0; i < 3; ++i)
            m_pStore->WriteLog(LOG_HANDLE_GS_NT, 0x81 * 256 + 0x88 + i);
        ASSERT_TRUE(m_pStore->SaveLogfile());
        m_strFile = "'" + (m_Dir / "Tarvo.log").string() + "'";
    }
    CScratchFolder m_Dir;
    std::unique_ptr<CLogStore> m_pStore;
    std::string m_strFile;
};

TEST_F(LogCommandTest, ListsTheShownEntriesOldestFirst)
{
    const CliRun run = RunCli(m_Dir, "log " + m_strFile);
    ASSERT_EQ(run.nStatus, 0) << run.strErr;
    const std::vector<std::string> lines = Lines(run.strOut);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "identification: StandartLogfile Bitte SetSoftwareKennung aufrufen");
    std::string strTime = m_pStore->GetLogTime();
    strTime.pop_back();
    EXPECT_EQ(lines[1], "saved at: " + strTime);
    EXPECT_EQ(lines[2], "file version: 1000");
    EXPECT_EQ(lines[3], "21\tCC\tCreate IOModul Class wird im Konstruktor aufgerufen\t");
    EXPECT_EQ(lines[4], "20\tMP\tModulPort\t888");
    EXPECT_EQ(lines[5], "25\tGS NT\tGet Byte , Set Byte  extern von GB getaktet\tsent 0x88, received 0x81");
    EXPECT_EQ(lines[7], "25\tGS NT\tGet Byte , Set Byte  extern von GB getaktet\tsent 0x8A, received 0x81");
    EXPECT_EQ(CountLinesStartingWith(run.strOut, "15\t--\tF\xC3\xBCllByte"), 0u);
    EXPECT_NE(run.strOut.find("entries: 99991 retained, 5 listed, 99986 hidden"), std::string::npos);
    EXPECT_NE(run.strOut.find("\n25\tGS NT\t3\n"), std::string::npos);
    EXPECT_NE(run.strOut.find("\n15\t--\t99986\n"), std::string::npos);
    EXPECT_TRUE(run.strErr.empty()) << run.strErr;
}

TEST_F(LogCommandTest, AllListsHiddenHandlesToo)
{
    m_pStore->SetShowFlag(LOG_HANDLE_MP, 0);
    ASSERT_TRUE(m_pStore->SaveLogfile());
    const CliRun shown = RunCli(m_Dir, "log " + m_strFile);
    ASSERT_EQ(shown.nStatus, 0);
    EXPECT_EQ(CountLinesStartingWith(shown.strOut, "20\tMP\tModulPort\t"), 0u);
    const CliRun all = RunCli(m_Dir, "log --all " + m_strFile);
    ASSERT_EQ(all.nStatus, 0);
    EXPECT_EQ(CountLinesStartingWith(all.strOut, "20\tMP\tModulPort\t888"), 1u);
    EXPECT_EQ(CountLinesStartingWith(all.strOut, "15\t--\t"), 99986u + 1u);
}

TEST_F(LogCommandTest, RefusesFilesItCannotMakeSenseOf)
{
    const std::string whole = ReadBytes(m_Dir / "Tarvo.log");
    std::vector<Chunk> withoutTable;
    for (const Chunk& chunk : SplitChunks(whole))
        if (chunk.nType != 4)
            withoutTable.push_back(chunk);
    std::vector<Chunk> withoutRing;
    for (const Chunk& chunk : SplitChunks(whole))
        if (chunk.nType != 3)
            withoutRing.push_back(chunk);
    struct Case {
        const char* pszName;
        std::string strBytes;
        const char* pszMessage;
    };
    const std::vector<Case> cases = {
        {"wrong header", "Tarvo Logfile X-" + whole.substr(16), "not a Tarvo log file"},
        {"empty", "", "not a Tarvo log file"},
        {"no table", JoinFile(withoutTable), "no complete handle table"},
        {"no ring", JoinFile(withoutRing), "no ring"},
        {"cut in the ring", whole.substr(0, 50000), "no complete handle table"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pszName);
        WriteBytes(m_Dir / "bad.log", c.strBytes);
        const CliRun run = RunCli(m_Dir, "log '" + (m_Dir / "bad.log").string() + "'");
        EXPECT_EQ(run.nStatus, 1);
        EXPECT_NE(run.strErr.find(c.pszMessage), std::string::npos) << run.strErr;
        EXPECT_TRUE(run.strOut.empty());
    }
    const CliRun missing = RunCli(m_Dir, "log '" + (m_Dir / "none.log").string() + "'");
    EXPECT_EQ(missing.nStatus, 1);
    EXPECT_NE(missing.strErr.find("no such file"), std::string::npos);
}

TEST_F(LogCommandTest, WarnsAboutAMissingEndButLists)
{
    const std::string whole = ReadBytes(m_Dir / "Tarvo.log");
    WriteBytes(m_Dir / "cut.log", whole.substr(0, whole.size() - 5));
    const CliRun run = RunCli(m_Dir, "log '" + (m_Dir / "cut.log").string() + "'");
    EXPECT_EQ(run.nStatus, 0);
    EXPECT_NE(run.strErr.find("warning"), std::string::npos);
    EXPECT_NE(run.strOut.find("sent 0x89, received 0x81"), std::string::npos);

    // Without identification and time chunks, the listing says so instead of showing defaults.
    std::vector<Chunk> chunks;
    for (const Chunk& chunk : SplitChunks(whole))
        if (chunk.nType != 1 && chunk.nType != 7)
            chunks.push_back(chunk);
    WriteBytes(m_Dir / "bare.log", JoinFile(chunks));
    const CliRun bare = RunCli(m_Dir, "log '" + (m_Dir / "bare.log").string() + "'");
    EXPECT_EQ(bare.nStatus, 0);
    const std::vector<std::string> lines = Lines(bare.strOut);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "identification: (not in the file)");
    EXPECT_EQ(lines[1], "saved at: (not in the file)");
}

TEST_F(LogCommandTest, BadUsage)
{
    for (const char* pszArgs : {"log", "log --bogus x.log", "log a.log b.log"}) {
        const CliRun run = RunCli(m_Dir, pszArgs);
        EXPECT_EQ(run.nStatus, 2) << pszArgs;
        EXPECT_EQ(Lines(run.strErr).size(), 1u) << pszArgs;
    }
}

}  // namespace
