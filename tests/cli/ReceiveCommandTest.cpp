// quillomat-cli receive, run as a user would: exit status, picture file, log, stderr.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>

#include "bitmap/CDib.h"
#include "bitmap/PictureFile.h"
#include "console/ConsolePicture.h"
#include "console/PrintSession.h"
#include "reception/TileDecoder.h"
#include "support/TestFiles.h"

namespace {

class ReceiveCommandTest : public ::testing::Test {
protected:
    // Runs the command in the scratch folder; returns its exit status, stderr in m_strErr.
    int Run(const std::string& strArgs, const std::string& strPrefix = "", const std::string& strCli = "receive")
    {
        const std::string strCommand = "cd '" + m_Dir.Path().string() + "' && " + strPrefix + "'" + QUILLOMAT_CLI_PATH +
                                       "' " + strCli + " " + strArgs + " 2>err.txt >out.txt";
        const int nStatus = std::system(strCommand.c_str());
        std::ifstream in(m_Dir / "err.txt");
        std::stringstream text;
        text << in.rdbuf();
        m_strErr = text.str();
        return WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    }

    CScratchFolder m_Dir{"quillomat-cli-receive"};
    std::string m_strErr;
};

TEST_F(ReceiveCommandTest, TestCardFromTheSimulatedConsole)
{
    // The same picture whatever the file kind; enlarged, every pixel as a square block.
    struct {
        const char* pArgs;
        const char* pFile;
        bool bPng;
        int32_t nScale;
    } cases[] = {{"", "received.bmp", false, 1},
                 {"-o card.png", "card.png", true, 1},
                 {"-o CARD.PNG --scale 3", "CARD.PNG", true, 3},
                 {"--scale 2 -o card2.bmp", "card2.bmp", false, 2}};
    const std::vector<uint8_t> card = BuildTestCard();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pArgs);
        ASSERT_EQ(Run(std::string("--link sim:picture=card --timeout 60 ") + c.pArgs), 0) << m_strErr;
        EXPECT_NE(m_strErr.find("Bitte den GB an das Linkmodul anschließen und Bild ausdrucken\n"), std::string::npos);
        EXPECT_NE(m_strErr.find("Die Daten werden auf Fehler geprüft\n"), std::string::npos);
        EXPECT_NE(m_strErr.find("; 9 blocks read: 9 as received, 0 repaired, 0 confirmed by two prints, 0 estimated, "
                                "0 bad; print complete\n"),
                  std::string::npos)
            << m_strErr;
        EXPECT_TRUE(std::filesystem::exists(m_Dir / "Tarvo.log"));

        std::ifstream file(m_Dir / c.pFile, std::ios::binary);
        char signature[4] = {};
        file.read(signature, sizeof signature);
        EXPECT_EQ(std::string(signature, 4) == "\x89PNG", c.bPng);
        CDib dib;
        ASSERT_TRUE(ReadPictureFile(dib, m_Dir / c.pFile).Ok());
        ASSERT_EQ(dib.GetDimensions(), (CSize{160 * c.nScale, 144 * c.nScale}));
        EXPECT_EQ(dib.GetBitCount(), 24);
        for (int32_t y = 0; y < 144 * c.nScale; ++y)
            for (int32_t x = 0; x < 160 * c.nScale; ++x)
                ASSERT_EQ(dib.GetPixel(CPoint{x, y}), TileColour(TileLevelAt(card, x / c.nScale, y / c.nScale)))
                    << x << "," << y;
    }
}

// Strict mode takes a block only when two prints agree on it: the simulated user prints again
// when asked, and the second print confirms every block.
TEST_F(ReceiveCommandTest, StrictModeConfirmsEveryBlockWithASecondPrint)
{
    ASSERT_EQ(Run("--link sim --strict --timeout 60"), 0) << m_strErr;
    EXPECT_NE(m_strErr.find("9 von 9 gelesenen Datenblocks sind noch nicht bestätigt\n"), std::string::npos) << m_strErr;
    EXPECT_NE(m_strErr.find("9 blocks read: 0 as received, 0 repaired, 9 confirmed by two prints, 0 estimated, 0 bad; "
                            "print complete\n"),
              std::string::npos)
        << m_strErr;
}

// The console broke the print off: its data arrived whole, its print packet never did.
TEST_F(ReceiveCommandTest, PrintWithoutItsPrintPacketExitsOne)
{
    std::ofstream replay(m_Dir / "cut.txt");
    for (const CPacket& packet : BuildPrintSession(BuildTestCard(), false)) {
        if (packet[2] == PRINTER_CMD_PRINT)
            break;
        for (uint8_t b : packet)
            replay << std::hex << std::setw(2) << std::setfill('0') << int(b) << ' ';
        replay << '\n';
    }
    replay.close();
    EXPECT_EQ(Run("--link sim:replay=cut.txt,reprints=0 --timeout 2"), 1) << m_strErr;
    EXPECT_NE(m_strErr.find("Das Bild ist nicht vollständig angekommen\n"), std::string::npos) << m_strErr;
    EXPECT_NE(m_strErr.find("9 blocks read: 9 as received, 0 repaired, 0 confirmed by two prints, 0 estimated, 0 bad; "
                            "print incomplete\n"),
              std::string::npos)
        << m_strErr;
}

TEST_F(ReceiveCommandTest, HelpNamesTheExitStatuses)
{
    const std::string strCommand = std::string("'") + QUILLOMAT_CLI_PATH + "' receive --help 2>&1";
    FILE* pPipe = ::popen(strCommand.c_str(), "r");
    ASSERT_NE(pPipe, nullptr);
    std::string strHelp;
    char szBuffer[256];
    while (std::fgets(szBuffer, sizeof(szBuffer), pPipe))
        strHelp += szBuffer;
    EXPECT_EQ(::pclose(pPipe), 0);
    for (const char* pText : {"--strict", "exit status:", "  0  the whole print arrived", "  1  it ended otherwise",
                              "  2  bad usage", "  3  the whole print arrived, but some blocks"})
        EXPECT_NE(strHelp.find(pText), std::string::npos) << pText << " in\n" << strHelp;
}

TEST_F(ReceiveCommandTest, BadBlocksAndTimeoutStillWriteThePicture)
{
    EXPECT_EQ(Run("--link 'sim:faults=flip:0.01,reprints=0,seed=3' -o bad.bmp --timeout 4"), 1);
    EXPECT_NE(m_strErr.find("Fehler in 9 gelesenen Datenblocks\nBitte das Bild noch einmal ausdrucken\n"),
              std::string::npos)
        << m_strErr;
    EXPECT_NE(m_strErr.find("\nBild ausdrucken\n"), std::string::npos);
    CDib dib;
    ASSERT_TRUE(dib.ReadFile(m_Dir / "bad.bmp").Ok());
    EXPECT_EQ(dib.GetDimensions(), (CSize{160, 144}));
}

TEST_F(ReceiveCommandTest, NoModuleEndsWithAnEmptyPicture)
{
    EXPECT_EQ(Run("--link sim:version=0 --timeout 0.2"), 1);
    EXPECT_NE(m_strErr.find("Es ist kein Tarvo Linkmodul angeschlossen\n"), std::string::npos);
    CDib dib;
    ASSERT_TRUE(dib.ReadFile(m_Dir / "received.bmp").Ok());
    EXPECT_EQ(dib.GetDimensions(), (CSize{160, 0}));
}

TEST_F(ReceiveCommandTest, InterruptEndsLikeCancel)
{
    EXPECT_EQ(Run("--link sim:version=0", "timeout --preserve-status -s INT 0.5 "), 1);
    EXPECT_TRUE(std::filesystem::exists(m_Dir / "received.bmp"));
}

TEST_F(ReceiveCommandTest, OutputThatCannotBeWritten)
{
    EXPECT_EQ(Run("--link sim -o no/such/folder/x.bmp --timeout 60"), 1);
    EXPECT_FALSE(m_strErr.empty());
}

TEST_F(ReceiveCommandTest, BadUsage)
{
    const char* const CASES[] = {"--link", "--timeout 0", "--timeout -3", "--timeout soon", "-o", "extra",
                                 "--link nowhere:at:all", "--link sim:nonsense", "--link ppdev:", "--link direct:x",
                                 "--scale", "--scale 0", "--scale 17", "--scale two"};
    for (const char* pArgs : CASES) {
        EXPECT_EQ(Run(pArgs), 2) << pArgs;
        EXPECT_EQ(m_strErr.find('\n'), m_strErr.size() - 1) << pArgs << ": one line, got " << m_strErr;
        EXPECT_FALSE(std::filesystem::exists(m_Dir / "received.bmp")) << pArgs;
    }
}

// A well-formed link naming a file or device that cannot be opened is a failure to read, not
// bad usage: exit 1 with a message naming it (a picture's reader may add its own), and no picture.
TEST_F(ReceiveCommandTest, LinkNamingWhatCannotBeOpened)
{
    const char* const CASES[] = {"--link sim:picture=no-such.bmp", "--link sim:replay=no-such.txt",
                                 "--link ppdev:/no-such/parport9"};
    for (const char* pArgs : CASES) {
        EXPECT_EQ(Run(pArgs), 1) << pArgs;
        EXPECT_NE(m_strErr.find("quillomat-cli: receive: "), std::string::npos) << pArgs << ": " << m_strErr;
        EXPECT_NE(m_strErr.find("no-such"), std::string::npos) << pArgs << ": " << m_strErr;
        EXPECT_FALSE(std::filesystem::exists(m_Dir / "received.bmp")) << pArgs;
    }
}

TEST_F(ReceiveCommandTest, ProbeTellsWhetherAReceptionCouldRun)
{
    struct {
        const char* pArgs;
        int nStatus;
        const char* pLast;  // the verdict line
    } cases[] = {{"--link sim:version=3", 0, "verdict: a reception can run: choose print on the console\n"},
                 {"--link sim:version=0", 1, "verdict: no reception possible: no link module\n"},
                 {"--link sim:version=2", 1, "verdict: no reception possible: the module fails the version test\n"},
                 {"--link serial:/no-such/ttyACM9", 1, "verdict: no printer device at /no-such/ttyACM9: no such device\n"},
                 {"--link serial:/dev/ttyACM0,baud=7", 2, ""},
                 {"--link file:session.txt", 2, ""},
                 {"--link nowhere", 2, ""},
                 {"--link", 2, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pArgs);
        EXPECT_EQ(Run(c.pArgs, "", "probe"), c.nStatus) << m_strErr;
        std::ifstream in(m_Dir / "out.txt");
        const std::string strOut((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(strOut.size() >= std::strlen(c.pLast) &&
                    strOut.compare(strOut.size() - std::strlen(c.pLast), std::string::npos, c.pLast) == 0)
            << strOut;
        EXPECT_EQ(c.nStatus == 2, !m_strErr.empty()) << m_strErr;
        // The probe leaves no log behind: the user's Tarvo.log is the receptions'.
        EXPECT_FALSE(std::filesystem::exists(m_Dir / "Tarvo.log"));
    }
}

}  // namespace
