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

    std::string Out() const { return ReadBytes(m_Dir / "out.txt"); }

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
        EXPECT_NE(m_strErr.find(std::string(c.pFile) + ": " + std::to_string(160 * c.nScale) + " x " +
                                std::to_string(144 * c.nScale) + " Pixel; 9 Blöcke gelesen: 9 wie empfangen, 0 repariert, "
                                "0 durch zwei Ausdrucke bestätigt, 0 geschätzt, 0 fehlerhaft; Ausdruck vollständig\n"),
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
    EXPECT_NE(m_strErr.find("9 Blöcke gelesen: 0 wie empfangen, 0 repariert, 9 durch zwei Ausdrucke bestätigt, "
                            "0 geschätzt, 0 fehlerhaft; Ausdruck vollständig\n"),
              std::string::npos)
        << m_strErr;
}

// A print that did not arrive whole, replayed from a console that does not wait for the
// printer's answers: the command names what it read, says the print is not whole and exits 1.
TEST_F(ReceiveCommandTest, PrintThatDidNotArriveWholeExitsOne)
{
    struct {
        const char* pName;
        bool bCompress;
        int nRows;        // of the test card, from the top; negative: a blank picture of as many rows
        int nLostFrom;       // the header of this data packet (1: the first) and of those after it
        int nLostTo;         // is damaged on the line, so that it is not taken for a packet
        bool bNoPrint;       // the console breaks off before its print packet
        const char* pSummary;
    } const cases[] = {
        {"the print packet never came", false, 144, 0, 0, true,
         "9 Blöcke gelesen: 9 wie empfangen, 0 repariert, 0 durch zwei Ausdrucke bestätigt, 0 geschätzt, "
         "0 fehlerhaft; Ausdruck unvollständig\n"},
        // The print packet follows the one block held: the lost packets decide. (A blank picture
        // packs into packets so short that the search does not run out before the print packet.)
        {"all data headers but the first lost", true, -96, 2, 6, false,
         "1 Block gelesen: 1 wie empfangen, 0 repariert, 0 durch zwei Ausdrucke bestätigt, 0 geschätzt, "
         "0 fehlerhaft; Ausdruck unvollständig\n"},
        {"all data headers but the first lost, long packets", true, 96, 2, 6, false,
         "1 Block gelesen: 1 wie empfangen, 0 repariert, 0 durch zwei Ausdrucke bestätigt, 0 geschätzt, "
         "0 fehlerhaft; Ausdruck unvollständig\n"},
        // The packets after the lost one have no known place.
        {"the second data header lost", true, 96, 2, 2, false,
         "1 Block gelesen: 1 wie empfangen, 0 repariert, 0 durch zwei Ausdrucke bestätigt, 0 geschätzt, "
         "0 fehlerhaft; Ausdruck unvollständig\n"},
        {"the last data header lost", false, 96, 6, 6, false,
         "5 Blöcke gelesen: 5 wie empfangen, 0 repariert, 0 durch zwei Ausdrucke bestätigt, 0 geschätzt, "
         "0 fehlerhaft; Ausdruck unvollständig\n"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.pName);
        std::vector<uint8_t> tiles = BuildTestCard();
        if (row.nRows < 0)
            tiles.assign(tiles.size(), 0x00);
        tiles.resize(static_cast<size_t>(std::abs(row.nRows) / 16) * CONSOLE_DATA_PACKET_BYTES);
        std::ofstream replay(m_Dir / "replay.txt");
        int nData = 0;
        for (CPacket packet : BuildPrintSession(tiles, row.bCompress)) {
            if (packet[2] == PRINTER_CMD_PRINT && row.bNoPrint)
                break;
            if (packet[2] == PRINTER_CMD_DATA && packet.size() > 10 && ++nData >= row.nLostFrom &&
                nData <= row.nLostTo)
                packet[1] ^= 0x20;  // 0x33 becomes 0x13: no packet start
            for (uint8_t b : packet)
                replay << std::hex << std::setw(2) << std::setfill('0') << int(b) << ' ';
            replay << '\n';
        }
        replay.close();
        EXPECT_EQ(Run("--link sim:replay=replay.txt,reprints=0 --timeout 1"), 1) << m_strErr;
        EXPECT_NE(m_strErr.find("Das Bild ist nicht vollständig angekommen\n"), std::string::npos) << m_strErr;
        EXPECT_NE(m_strErr.find(row.pSummary), std::string::npos) << m_strErr;
    }
}

// Help that was asked for goes to stdout, so that it can be paged; each command's help explains
// every option its usage line names, and so does the manual page.
TEST_F(ReceiveCommandTest, HelpOnStdoutExplainsEveryOption)
{
    std::ifstream manual(QUILLOMAT_MANUAL_PAGE);
    const std::string strManual((std::istreambuf_iterator<char>(manual)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(strManual.empty());
    for (const char* pArgs : {"--help", "-h", "help"}) {
        EXPECT_EQ(Run("", "", pArgs), 0) << pArgs;
        EXPECT_EQ(m_strErr, "") << pArgs;
        EXPECT_EQ(Out().rfind("usage: quillomat-cli <command>", 0), 0u) << pArgs << ": " << Out();
    }
    for (const char* pCommand : {"receive", "soften", "colorize", "log", "info", "probe"}) {
        for (const std::string& strArgs : {std::string(pCommand) + " --help", std::string(pCommand) + " -h",
                                          "help " + std::string(pCommand)}) {
            SCOPED_TRACE(strArgs);
            EXPECT_EQ(Run("", "", strArgs), 0);
            EXPECT_EQ(m_strErr, "");
            const std::string strHelp = Out();
            const std::string strUsage = strHelp.substr(0, strHelp.find('\n'));
            ASSERT_EQ(strUsage.rfind(std::string("usage: quillomat-cli ") + pCommand, 0), 0u) << strHelp;
            // Every option of the usage line starts a line of the help and is in the manual page.
            std::istringstream words(strUsage);
            for (std::string strWord; words >> strWord;) {
                strWord.erase(0, strWord.find_first_not_of('['));
                strWord.erase(strWord.find_last_not_of(']') + 1);
                if (strWord.size() < 2 || strWord[0] != '-')
                    continue;
                EXPECT_NE(strHelp.find("\n" + strWord + " "), std::string::npos) << strWord << " in\n" << strHelp;
                std::string strRoff;
                for (char ch : strWord)
                    strRoff += ch == '-' ? std::string("\\-") : std::string(1, ch);
                EXPECT_NE(strManual.find(strRoff), std::string::npos) << strWord << " in the manual page";
            }
        }
    }
    Run("", "", "receive --help");
    for (const char* pText : {"--strict", "exit status:", "  0  the whole print arrived", "  1  it ended otherwise",
                              "  2  bad usage", "  3  the whole print arrived, but some blocks", "default received.bmp",
                              "1..16; default 1", ".partial"})
        EXPECT_NE(Out().find(pText), std::string::npos) << pText << " in\n" << Out();
}

TEST_F(ReceiveCommandTest, BadBlocksAndTimeoutStillWriteThePicture)
{
    EXPECT_EQ(Run("--link 'sim:faults=flip:0.01,reprints=0,seed=3' -o bad.bmp --timeout 4"), 1);
    EXPECT_NE(m_strErr.find("Fehler in 9 gelesenen Datenblocks\nBitte das Bild noch einmal ausdrucken\n"),
              std::string::npos)
        << m_strErr;
    EXPECT_NE(m_strErr.find("\nBild ausdrucken\n"), std::string::npos);
    // The dialog's line about its OK button reads as the terminal works.
    EXPECT_EQ(m_strErr.find("OK drücken"), std::string::npos) << m_strErr;
    EXPECT_NE(m_strErr.find("Bitte das Bild noch einmal ausdrucken\nDer Empfang geht von selbst weiter"),
              std::string::npos)
        << m_strErr;
    CDib dib;
    ASSERT_TRUE(dib.ReadFile(m_Dir / "bad.bmp").Ok());
    EXPECT_EQ(dib.GetDimensions(), (CSize{160, 144}));
}

// Every way a reception ends without a picture names its cause last, exits 1 and writes no
// file: an existing one stays as it was. Without a module it ends at once, with no --timeout.
TEST_F(ReceiveCommandTest, EveryEndWithoutAPictureNamesItsCause)
{
    WriteBytes(m_Dir / "keep.bmp", "what the user had");
    struct {
        const char* pArgs;
        const char* pPrefix;
        const char* pCause;
    } const cases[] = {
        {"--link sim:version=0 -o keep.bmp", "timeout 20 ", "Es ist kein Tarvo Linkmodul angeschlossen\n"},
        {"--link sim:version=0", "timeout 20 ", "quillomat-cli: receive: kein Linkmodul angeschlossen\n"},
        {"--link sim:start=1000000000 -o keep.bmp --timeout 0.3", "", "Zeit abgelaufen (--timeout 0.3 Sekunden)\n"},
        {"--link sim:start=1000000000 -o keep.bmp", "timeout --preserve-status -s INT 0.5 ",
         "quillomat-cli: receive: abgebrochen (Strg+C)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pArgs);
        EXPECT_EQ(Run(c.pArgs, c.pPrefix), 1) << m_strErr;
        EXPECT_NE(m_strErr.find(c.pCause), std::string::npos) << m_strErr;
        EXPECT_TRUE(m_strErr.ends_with("kein Bild empfangen, es wird keine Datei geschrieben\n")) << m_strErr;
        EXPECT_EQ(ReadBytes(m_Dir / "keep.bmp"), "what the user had");
        EXPECT_FALSE(std::filesystem::exists(m_Dir / "received.bmp"));
        EXPECT_FALSE(std::filesystem::exists(m_Dir / "keep.partial.bmp"));
    }
}

// A reception that did not complete never takes the place of a file that is there: it goes
// beside it, and says so; a complete one replaces it.
TEST_F(ReceiveCommandTest, IncompleteReceptionGoesBesideAnExistingFile)
{
    for (const char* pName : {"keep.bmp", "received.bmp", "keep.png"})
        WriteBytes(m_Dir / pName, "what the user had");
    struct {
        const char* pArgs;
        const char* pNamed;
        const char* pWritten;
    } const cases[] = {{"--link 'sim:faults=flip:0.01,reprints=0,seed=3' -o keep.bmp --timeout 3", "keep.bmp",
                        "keep.partial.bmp"},
                       {"--link 'sim:faults=flip:0.01,reprints=0,seed=3' --timeout 3", "received.bmp",
                        "received.partial.bmp"},
                       {"--link 'sim:faults=flip:0.01,reprints=0,seed=3' -o keep.png --timeout 3", "keep.png",
                        "keep.partial.png"},
                       {"--link sim:picture=card -o keep.bmp --timeout 60", "keep.bmp", "keep.bmp"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pArgs);
        const bool bComplete = std::string(c.pNamed) == c.pWritten;
        EXPECT_EQ(Run(c.pArgs), bComplete ? 0 : 1) << m_strErr;
        CDib dib;
        ASSERT_TRUE(ReadPictureFile(dib, m_Dir / c.pWritten).Ok()) << m_strErr;
        EXPECT_EQ(dib.GetDimensions(), (CSize{160, 144}));
        EXPECT_NE(m_strErr.find(std::string("\n") + c.pWritten + ": 160 x 144 Pixel;"), std::string::npos) << m_strErr;
        if (!bComplete) {
            EXPECT_EQ(ReadBytes(m_Dir / c.pNamed), "what the user had");
            EXPECT_NE(m_strErr.find(std::string("das Bild ist nicht vollständig; ") + c.pNamed +
                                    " bleibt, wie es ist, das Bild steht in " + c.pWritten + "\n"),
                      std::string::npos)
                << m_strErr;
        }
    }
}

// The output is checked before anything is received: the reception does not start, and the
// reason is named.
TEST_F(ReceiveCommandTest, OutputThatCannotBeWrittenIsRefusedBeforeReceiving)
{
    WriteBytes(m_Dir / "plain", "a file");
    std::filesystem::create_directory(m_Dir / "locked");
    std::filesystem::permissions(m_Dir / "locked", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    struct {
        const char* pOut;
        const char* pReason;
    } const cases[] = {{"no/such/folder/x.bmp", "der Ordner no/such/folder fehlt"},
                       {"plain/x.bmp", "plain ist kein Ordner"},
                       {"locked", "das ist ein Ordner"},
                       {"locked/x.bmp", "keine Schreibberechtigung (Ordner locked)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pOut);
        if (::geteuid() == 0 && std::string(c.pOut) == "locked/x.bmp")
            continue;  // root writes anywhere
        EXPECT_EQ(Run(std::string("--link sim -o ") + c.pOut + " --timeout 60"), 1);
        EXPECT_EQ(m_strErr, std::string("quillomat-cli: receive: ") + c.pOut + " kann nicht geschrieben werden: " +
                                c.pReason + "\n");
        EXPECT_FALSE(std::filesystem::exists(m_Dir / "Tarvo.log"));
    }
}

TEST_F(ReceiveCommandTest, BadUsage)
{
    const char* const CASES[] = {"--link", "--timeout 0", "--timeout -3", "--timeout soon", "-o", "extra",
                                 "--link nowhere:at:all", "--link sim:nonsense", "--link ppdev:", "--link direct:x",
                                 "--scale", "--scale 0", "--scale 17", "--scale two", "--link serial:",
                                 "--link serial:/dev/ttyACM0,baud=7", "--link file:"};
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
                                 "--link ppdev:/no-such/parport9", "--link file:no-such.txt",
                                 "--link serial:/no-such/ttyACM9"};
    for (const char* pArgs : CASES) {
        EXPECT_EQ(Run(pArgs), 1) << pArgs;
        EXPECT_NE(m_strErr.find("quillomat-cli: receive: "), std::string::npos) << pArgs << ": " << m_strErr;
        EXPECT_NE(m_strErr.find("no-such"), std::string::npos) << pArgs << ": " << m_strErr;
        EXPECT_FALSE(std::filesystem::exists(m_Dir / "received.bmp")) << pArgs;
    }
}

// A printer device's file: read whole, split where the peers split, and its exit status says
// how far the device let us check it.
TEST_F(ReceiveCommandTest, DeviceFilesAreReadWholeAndJudged)
{
    const std::filesystem::path captures = QUILLOMAT_CAPTURES_DIR;
    if (!std::filesystem::is_directory(captures))
        GTEST_SKIP() << "no recorded sessions at " << captures << " (QUILLOMAT_CAPTURES_DIR)";
    // Three portraits, each a print of 128 rows and one of 16 with a lower margin.
    const std::string strTales = "file:" + (captures / "tales_of_phantasia_compressed.txt").string();
    ASSERT_EQ(Run("--link " + strTales + " --all-prints --split -o tales.png"), 0) << m_strErr;
    for (int n = 1; n <= 3; ++n) {
        CDib dib;
        ASSERT_TRUE(ReadPictureFile(dib, m_Dir / ("tales-" + std::to_string(n) + ".png")).Ok()) << n;
        EXPECT_EQ(dib.GetDimensions(), (CSize{160, 144}));
    }
    EXPECT_FALSE(std::filesystem::exists(m_Dir / "tales-4.png"));
    EXPECT_NE(m_strErr.find("6 Ausdrucke, 27 Blöcke: 0 fehlerhaft, 0 geschätzt; Serie vollständig"), std::string::npos)
        << m_strErr;
    ASSERT_EQ(Run("--link " + strTales + " --all-prints -o tales.bmp"), 0) << m_strErr;
    CDib whole;
    ASSERT_TRUE(ReadPictureFile(whole, m_Dir / "tales.bmp").Ok());
    EXPECT_EQ(whole.GetDimensions(), (CSize{160, 432}));

    // An RP2040 dump carries no checksums: complete, but unchecked.
    std::string strDump = std::string("\x04\x00\x80\x02", 4) + std::string(640, '\x5A') + std::string("\x02\x04\x00", 3) +
                          std::string("\x01\x13\xE4\x40", 4);
    std::ofstream(m_Dir / "image.bin", std::ios::binary) << strDump;
    EXPECT_EQ(Run("--link file:image.bin --all-prints -o dump.png"), 3) << m_strErr;
    EXPECT_NE(m_strErr.find("1 Block ungeprüft"), std::string::npos) << m_strErr;
    // A damaged block: the picture is written with the block as it came, and the print named.
    std::ifstream capture(captures / "camera_jp.txt");
    std::ofstream damaged(m_Dir / "damaged.txt");
    bool bFlipped = false;
    for (std::string strLine; std::getline(capture, strLine);) {
        if (!bFlipped && strLine.rfind("88 33 04 00 80 02", 0) == 0) {
            strLine[30] = strLine[30] == '0' ? '1' : '0';  // a data byte; its sum stays
            bFlipped = true;
        }
        damaged << strLine << "\n";
    }
    damaged.close();
    EXPECT_EQ(Run("--link file:damaged.txt -o jp.png"), 1) << m_strErr;
    EXPECT_NE(m_strErr.find("Fehlerhafte Datenblocks in Ausdruck 1"), std::string::npos) << m_strErr;
    EXPECT_NE(m_strErr.find("1 fehlerhaft"), std::string::npos) << m_strErr;
    CDib dib;
    ASSERT_TRUE(ReadPictureFile(dib, m_Dir / "jp.png").Ok());
    EXPECT_EQ(dib.GetDimensions(), (CSize{160, 144}));
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
