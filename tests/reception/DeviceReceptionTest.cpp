// Receptions from the printer devices people own: saved files (file:) and a live serial stream
// (serial:, through a pseudo-terminal), into the same block table, series and verdict as the
// line. Nothing exits as exact that a device did not check.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "bitmap/CDib.h"
#include "linkspec/LinkSpec.h"
#include "reception/FakeScreen.h"
#include "reception/FileReception.h"
#include "reception/PrintSeries.h"
#include "reception/TileDecoder.h"
#include "support/CaptureFiles.h"
#include "support/PtyDevice.h"
#include "support/StreamLayouts.h"
#include "support/TestFiles.h"

namespace {

// The images one under the other, as rows of shades through the view's decoding.
std::vector<std::string> ImageRows(const std::vector<CReceivedImage>& images)
{
    std::vector<std::string> rows;
    for (const CReceivedImage& image : images) {
        CDib dib;
        EXPECT_TRUE(CreateTilePicture(image.m_Tiles.data(), static_cast<int32_t>(image.m_Tiles.size()), dib));
        EXPECT_EQ(dib.GetDimensions().cy, image.m_nRows);
        for (int32_t y = 0; y < dib.GetDimensions().cy; ++y) {
            std::string strRow;
            for (int32_t x = 0; x < 160; ++x) {
                const uint32_t nPixel = dib.GetPixel(CPoint{x, y});
                char c = '?';
                for (unsigned n = 0; n < 4; ++n)
                    if (TileColour(n) == nPixel)
                        c = static_cast<char>('0' + n);
                strRow += c;
            }
            rows.push_back(strRow);
        }
    }
    return rows;
}

std::vector<uint8_t> ReadStatuses(const std::filesystem::path& path)
{
    std::vector<uint8_t> statuses;
    for (const CPacketBytes& reply : ReadPlainPackets(path))
        statuses.push_back(reply.size() > 1 ? reply[1] : 0);
    return statuses;
}

CFileReception ReceiveText(const std::filesystem::path& dir, const std::string& strName, const std::string& strText,
                           bool bAllPrints = true, bool bSplit = false)
{
    const std::filesystem::path path = dir / strName;
    std::ofstream(path, std::ios::binary) << strText;
    return ReceiveFromFile(path.string(), {bAllPrints, bSplit});
}

// The layouts a session is turned into, and what the reception must make of each.
enum class ELayout { AsItIs, Raw, ParseV3, ParseV2, PicoDump, PicoDumpWithInit };

struct CLayoutCase {
    ELayout eLayout;
    const char* pName;
    EReceptionOutcome eOutcome;  // checked layouts exact, the others complete but unchecked
};

const CLayoutCase LAYOUTS[] = {
    {ELayout::AsItIs, "as_it_is", EReceptionOutcome::Complete},
    {ELayout::Raw, "raw_with_replies", EReceptionOutcome::Complete},
    {ELayout::ParseV3, "parse_v3", EReceptionOutcome::CompleteEstimated},
    {ELayout::ParseV2, "parse_v2", EReceptionOutcome::CompleteEstimated},
    {ELayout::PicoDump, "rp2040_dump", EReceptionOutcome::CompleteEstimated},
    {ELayout::PicoDumpWithInit, "rp2040_dump_old_firmware", EReceptionOutcome::CompleteEstimated},
};

const char* const SESSIONS[] = {
    "alice_palettes_d2_47", "camera_jp", "camera_wildframe", "mcdonalds_palettes_03_30",
    "nakayoshi_cooking1_palette_07", "pokemon_tcg_compressed", "pokemon_yellow", "smb_deluxe_banner",
    "tales_of_phantasia_compressed", "tsuri_sensei2_break",
};

using DeviceFileTest = CCaptureTest<CLayoutCase>;

// Every recorded session, all prints, in every layout a device writes: the peer's picture.
TEST_P(DeviceFileTest, EverySessionGivesItsWholePicture)
{
    const CLayoutCase& layout = GetParam();
    for (const char* pSession : SESSIONS) {
        SCOPED_TRACE(pSession);
        const std::filesystem::path capture = CapturesDir() / (std::string(pSession) + ".txt");
        const std::vector<CPacketBytes> packets = ReadPlainPackets(capture);
        const std::vector<uint8_t> statuses = ReadStatuses(CapturesDir() / (std::string(pSession) + ".replies.txt"));
        CFileReception result;
        switch (layout.eLayout) {
        case ELayout::AsItIs: result = ReceiveFromFile(capture.string(), {true, false}); break;
        case ELayout::Raw: result = ReceiveText(m_Dir, "raw.txt", ToRawText(packets, statuses)); break;
        case ELayout::ParseV3: result = ReceiveText(m_Dir, "v3.txt", ToParseMode(packets, statuses, false)); break;
        case ELayout::ParseV2: result = ReceiveText(m_Dir, "v2.txt", ToParseMode(packets, statuses, true)); break;
        case ELayout::PicoDump: result = ReceiveText(m_Dir, "image.bin", ToPicoDump(packets, false)); break;
        case ELayout::PicoDumpWithInit: result = ReceiveText(m_Dir, "old.bin", ToPicoDump(packets, true)); break;
        }
        ASSERT_TRUE(result.bRead) << result.strError;
        EXPECT_EQ(result.verdict.Outcome(), layout.eOutcome);
        EXPECT_EQ(result.verdict.nUnchecked > 0, layout.eOutcome != EReceptionOutcome::Complete);
        EXPECT_TRUE(result.badPrints.empty());
        EXPECT_TRUE(result.messages.empty()) << result.messages.front();
        const std::vector<std::string> expected = ReadRows(CapturesDir() / (std::string(pSession) + ".expected.txt"));
        const std::vector<std::string> rows = ImageRows(result.images);
        ASSERT_EQ(rows.size(), expected.size());
        for (size_t y = 0; y < rows.size(); ++y)
            ASSERT_EQ(rows[y], expected[y]) << "row " << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, DeviceFileTest, ::testing::ValuesIn(LAYOUTS),
                         [](const ::testing::TestParamInfo<CLayoutCase>& info) { return info.param.pName; });

TEST(DeviceSampleTest, EmulatorLogsReadAsFarAsTheyGo)
{
    if (!std::filesystem::is_directory(StreamsDir()))
        GTEST_SKIP() << "no device samples at " << StreamsDir() << " (QUILLOMAT_STREAMS_DIR)";
    // A whole raw session: its one print of nine bands with its palette D2, every sum checked.
    const CFileReception raw = ReceiveFromFile((StreamsDir() / "emulator_v2_raw_packet_mode.txt").string(), {true, false});
    EXPECT_EQ(raw.verdict.Outcome(), EReceptionOutcome::Complete);
    ASSERT_EQ(raw.images.size(), 1u);
    EXPECT_EQ(raw.images[0].m_nRows, 144);
    EXPECT_EQ(raw.verdict.nPrints, 1);
    // The first 30 lines of a parse-mode session stop inside its first data packet.
    for (const bool bAllPrints : {false, true}) {
        const CFileReception head =
            ReceiveFromFile((StreamsDir() / "emulator_v2_parse_mode.head30.txt").string(), {bAllPrints, false});
        EXPECT_EQ(head.verdict.Outcome(), EReceptionOutcome::NotComplete);
        EXPECT_FALSE(head.bComplete);
    }
}

// Prints made of bands whose every byte tells its band: band b, all bytes b.
CPacketBytes Band(uint8_t nFill)
{
    return CPacketBytes(640, nFill);
}

CPacketBytes Print(uint8_t nMargins, uint8_t nPalette = 0xE4)
{
    return MakePacket(0x02, 0, {0x01, nMargins, nPalette, 0x40});
}

const CPacketBytes INIT = MakePacket(0x01, 0, {});
const CPacketBytes DATA_END = MakePacket(0x04, 0, {});

// The series as the printer prints it: what a print packet followed, in order.
std::vector<uint8_t> Printed(const std::vector<uint8_t>& fills)
{
    std::vector<uint8_t> tiles;
    for (uint8_t nFill : fills)
        tiles.insert(tiles.end(), 640, nFill);
    return tiles;
}

std::vector<uint8_t> Joined(const std::vector<CReceivedImage>& images)
{
    std::vector<uint8_t> tiles;
    for (const CReceivedImage& image : images)
        tiles.insert(tiles.end(), image.m_Tiles.begin(), image.m_Tiles.end());
    return tiles;
}

TEST(DeviceSeriesTest, PrintsAsThePrinterPrintsThem)
{
    CScratchFolder dir{"quillomat-series"};
    // A busy game sends the first band of its next picture again and again, then init, then
    // the picture: only what a print packet follows is printed.
    {
        std::vector<CPacketBytes> packets{INIT, MakePacket(0x04, 0, Band(0x11)), MakePacket(0x04, 0, Band(0x12)),
                                          DATA_END, Print(0x10)};
        for (int i = 0; i < 3; ++i)
            packets.push_back(MakePacket(0x04, 0, Band(0x99)));
        for (const CPacketBytes& packet : {INIT, MakePacket(0x04, 0, Band(0x21)), DATA_END, Print(0x03)})
            packets.push_back(packet);
        const CFileReception result = ReceiveText(dir, "busy.txt", ToRawText(packets, {}));
        EXPECT_EQ(result.verdict.Outcome(), EReceptionOutcome::Complete);
        EXPECT_EQ(Joined(result.images), Printed({0x11, 0x12, 0x21}));
    }
    // A card list far longer than the block table: 60 prints of 3 bands, split where a print
    // leaves a lower margin (every fourth).
    {
        std::vector<CPacketBytes> packets{INIT};
        std::vector<uint8_t> fills;
        for (int k = 0; k < 60; ++k) {
            for (int b = 0; b < 3; ++b) {
                fills.push_back(static_cast<uint8_t>(k * 3 + b));
                packets.push_back(MakePacket(0x04, 0, Band(fills.back())));
            }
            packets.push_back(DATA_END);
            packets.push_back(Print(k % 4 == 3 ? 0x03 : 0x00, 0xE4));
        }
        const std::string strText = ToRawText(packets, {});
        const CFileReception whole = ReceiveText(dir, "list.txt", strText);
        EXPECT_EQ(whole.verdict.Outcome(), EReceptionOutcome::Complete);
        EXPECT_EQ(whole.verdict.nPrints, 60);
        ASSERT_EQ(whole.images.size(), 1u);
        EXPECT_EQ(whole.images[0].m_nRows, 60 * 3 * 16);  // 3,776 rows and more are a real session
        EXPECT_EQ(whole.images[0].m_Tiles, Printed(fills));
        const CFileReception split = ReceiveText(dir, "list.txt", strText, true, true);
        ASSERT_EQ(split.images.size(), 15u);
        EXPECT_EQ(split.images[1].m_nFirstPrint, 5);
        EXPECT_EQ(split.images[1].m_nPrints, 4);
        EXPECT_EQ(Joined(split.images), Printed(fills));
    }
    // Beyond what the series keeps: refused with a message, never whole.
    {
        std::vector<CPacketBytes> packets{INIT};
        for (int k = 0; k <= SERIES_MAX_PRINTS; ++k) {
            packets.push_back(MakePacket(0x04, 0, Band(1)));
            packets.push_back(Print(0x00));
        }
        const CFileReception result = ReceiveText(dir, "endless.txt", ToRawText(packets, {}));
        EXPECT_EQ(result.verdict.Outcome(), EReceptionOutcome::NotComplete);
        ASSERT_FALSE(result.messages.empty());
        EXPECT_NE(result.messages.front().find("zu lang"), std::string::npos);
    }
}

// One print from a log: a print begins at its init. Bands before it were cleared by it (a busy
// game sends its first band again and again), and a log that begins after a print's init holds
// the rest of that print only. The RP2040's dump carries no init at all.
TEST(DeviceSeriesTest, OnePrintBeginsAtItsInit)
{
    CScratchFolder dir{"quillomat-one-print"};
    const std::vector<CPacketBytes> busy{MakePacket(0x04, 0, Band(0x99)), MakePacket(0x04, 0, Band(0x99)), INIT,
                                         MakePacket(0x04, 0, Band(0x21)), MakePacket(0x04, 0, Band(0x22)), DATA_END,
                                         Print(0x03)};
    const std::vector<CPacketBytes> rest{MakePacket(0x04, 0, Band(0x22)), DATA_END, Print(0x03)};
    const struct {
        const char* pName;
        std::string strFile;
        const char* pFileName;
        EReceptionOutcome eOutcome;
        std::vector<uint8_t> tiles;  // the picture, where whole
    } cases[] = {
        {"bands before the init", ToRawText(busy, {}), "busy.txt", EReceptionOutcome::Complete, Printed({0x21, 0x22})},
        {"the log begins after the init", ToRawText(rest, {}), "rest.txt", EReceptionOutcome::NotComplete, {}},
        {"a dump without inits", ToPicoDump({INIT, MakePacket(0x04, 0, Band(0x21)), Print(0x03)}, false), "image.bin",
         EReceptionOutcome::CompleteEstimated, Printed({0x21})},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.pName);
        const CFileReception result = ReceiveText(dir, row.pFileName, row.strFile, false);
        ASSERT_TRUE(result.bRead) << result.strError;
        EXPECT_EQ(result.verdict.Outcome(), row.eOutcome);
        if (!row.tiles.empty()) {
            EXPECT_EQ(Joined(result.images), row.tiles);
        }
    }
}

TEST(DeviceSeriesTest, DamagedBlockInAFileIsReportedWithItsPrint)
{
    CScratchFolder dir{"quillomat-damaged"};
    std::vector<CPacketBytes> packets{INIT, MakePacket(0x04, 0, Band(1)), Print(0x00),
                                      MakePacket(0x04, 0, Band(2)), Print(0x03)};
    packets[3][100] ^= 0x10;  // a data byte of the second print, its sum left as it was
    for (const bool bAllPrints : {false, true}) {
        SCOPED_TRACE(bAllPrints ? "all prints" : "one print");
        const CFileReception result = ReceiveText(dir, "damaged.txt", ToRawText(packets, {}), bAllPrints);
        EXPECT_EQ(result.verdict.Outcome(), EReceptionOutcome::NotComplete);
        EXPECT_EQ(result.badPrints, std::vector<int32_t>{bAllPrints ? 2 : 1});
        ASSERT_FALSE(result.images.empty());
    }
    // The picture holds the block as it came.
    const CFileReception all = ReceiveText(dir, "damaged.txt", ToRawText(packets, {}));
    std::vector<uint8_t> expected = Printed({1, 2});
    expected[640 + 100 - 6] ^= 0x10;
    EXPECT_EQ(Joined(all.images), expected);
}

// A live emulator on a pseudo-terminal at 115200 baud, the session ticking as the dialog does.
struct CLiveOutcome {
    bool bEnded = false;
    CReceptionVerdict verdict;
    std::vector<std::string> messages;
    std::vector<CReceivedImage> images;
};

CLiveOutcome ReceiveLive(const std::string& strStream, bool bHangUp, bool bAllPrints, int nMaxMs = 4000)
{
    CPtyDevice device;
    EXPECT_TRUE(device.IsOpen());
    const COpenedLink link = OpenLink("serial:" + device.Path());
    EXPECT_TRUE(link.pSource) << link.strError;
    CLiveOutcome outcome;
    if (!link.pSource)
        return outcome;
    device.Play(strStream, 115200, 50, bHangUp);
    CFakeScreen screen;
    {
        CReceiveSession session(screen, link.pSource, std::filesystem::path());
        session.SetAllPrints(bAllPrints);
        session.SetQuietMilliseconds(600);
        session.OnInitDialog();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nMaxMs);
        while (!session.HasEnded() && std::chrono::steady_clock::now() < deadline) {
            session.OnTimer(CReceiveSession::RECEIVE_TIMER_ID);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        outcome.bEnded = session.HasEnded();
        if (!session.HasEnded())
            session.OnCancel();
        session.OnDestroy();
        outcome.verdict = session.GetVerdict();
        outcome.images = session.GetImages(false);
    }
    outcome.messages = screen.m_Messages;
    return outcome;
}

std::vector<CPacketBytes> OnePrint(uint8_t nFirst = 1)
{
    return {INIT, MakePacket(0x04, 0, Band(nFirst)), MakePacket(0x04, 0, Band(nFirst + 1)), DATA_END, Print(0x03)};
}

std::vector<CPacketBytes> Polls(int n)
{
    return std::vector<CPacketBytes>(static_cast<size_t>(n), MakePacket(0x0F, 0, {}));
}

std::vector<CPacketBytes> Then(std::vector<CPacketBytes> a, const std::vector<CPacketBytes>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct CLiveCase {
    const char* pName;
    std::string strStream;
    bool bHangUp;
    bool bEndsByItself;
    EReceptionOutcome eOutcome;
    const char* pMessage;  // a message the session must show ("" none)
};

TEST(DeviceLiveTest, StreamsGiveTheirVerdicts)
{
    if (!CPtyDevice().IsOpen())
        GTEST_SKIP() << "no pseudo-terminals here";
    const std::string strClean = ToRawText(Then(OnePrint(), Polls(3)), {});
    std::vector<CPacketBytes> damaged = OnePrint();
    damaged[2][50] ^= 0x01;
    std::string strCut = ToRawText(OnePrint(), {});
    strCut.erase(strCut.find("88 33 04 00 80 02") + 300, 600);  // the first data packet stops short
    std::string strBanner = strClean;
    strBanner.insert(strBanner.find("88 33 02"), "// GAMEBOY PRINTER Packet Capture V3.2.1 (Brian Khuu 2021)\r\n");
    const std::string strGone = ToRawText({INIT, MakePacket(0x04, 0, Band(1))}, {}).substr(0, 800);
    const CLiveCase CASES[] = {
        {"clean print", strClean, false, true, EReceptionOutcome::Complete, ""},
        {"banner in the middle", strBanner, false, true, EReceptionOutcome::Complete, ""},
        // A packet cut off is a print that did not arrive whole, whatever its blocks say.
        {"cut packet", strCut, false, false, EReceptionOutcome::NotComplete, "nicht vollständig angekommen"},
        {"damaged packet", ToRawText(damaged, {}), false, false, EReceptionOutcome::NotComplete, "Fehler in"},
        // Asked to print again, the console's second print fills the bad block.
        {"damaged then printed again", ToRawText(Then(Then(damaged, Polls(61)), OnePrint()), {}), false, true,
         EReceptionOutcome::Complete, "Fehler in"},
        {"device gone mid-print", strGone, true, true, EReceptionOutcome::NotComplete, ""},
    };
    for (const CLiveCase& c : CASES) {
        SCOPED_TRACE(c.pName);
        const CLiveOutcome outcome = ReceiveLive(c.strStream, c.bHangUp, false, c.bEndsByItself ? 4000 : 1500);
        EXPECT_EQ(outcome.bEnded, c.bEndsByItself);
        EXPECT_EQ(outcome.verdict.Outcome(), c.eOutcome);
        if (*c.pMessage != '\0') {
            ASSERT_FALSE(outcome.messages.empty());
            EXPECT_NE(outcome.messages.front().find(c.pMessage), std::string::npos) << outcome.messages.front();
        }
        if (c.eOutcome == EReceptionOutcome::Complete) {
            ASSERT_EQ(outcome.images.size(), 1u);
            EXPECT_EQ(outcome.images[0].m_Tiles, Printed({1, 2}));
        }
    }
}

// A live series whose beginning went by before the program listened is never whole; one heard
// from its init is.
TEST(DeviceLiveTest, SeriesMustBeHeardFromItsInit)
{
    if (!CPtyDevice().IsOpen())
        GTEST_SKIP() << "no pseudo-terminals here";
    const std::vector<CPacketBytes> series = Then(OnePrint(1), {MakePacket(0x04, 0, Band(5)), Print(0x03)});
    const CLiveOutcome heard = ReceiveLive(ToRawText(series, {}), false, true);
    EXPECT_TRUE(heard.bEnded);
    EXPECT_EQ(heard.verdict.Outcome(), EReceptionOutcome::Complete);
    EXPECT_EQ(Joined(heard.images), Printed({1, 2, 5}));
    const CLiveOutcome midway =
        ReceiveLive(ToRawText(std::vector<CPacketBytes>(series.begin() + 1, series.end()), {}), false, true, 2000);
    EXPECT_EQ(midway.verdict.Outcome(), EReceptionOutcome::NotComplete);
}

}  // namespace
