// All prints through the simulated console and link module: a series of prints with their own
// palettes and compression arrives whole, and with faults on the line either exact or reported
// as not exact; the console prints the whole series again when a pass went wrong.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <numeric>

#include "console/CSimConsole.h"
#include "console/ConsolePicture.h"
#include "console/PrintSession.h"
#include "linkspec/LinkSpec.h"
#include "reception/PrintSeries.h"
#include "reception/SessionDriver.h"
#include "reception/SeriesPicture.h"
#include "support/TestFiles.h"

namespace {

struct CSeriesPrint {
    std::vector<uint8_t> levels;  // colour numbers, 160 to a row
    int32_t nRows;
    uint8_t nPalette;
    bool bCompress;
};

std::vector<CSeriesPrint> ThreePrints()
{
    std::vector<uint8_t> stripes(160 * 32), dots(160 * 16);
    for (int32_t y = 0; y < 32; ++y)
        for (int32_t x = 0; x < 160; ++x)
            stripes[static_cast<size_t>(y * 160 + x)] = static_cast<uint8_t>((x / 8 + y / 4) % 4);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 160; ++x)
            dots[static_cast<size_t>(y * 160 + x)] = static_cast<uint8_t>((x * y) % 4);
    return {{BuildTestCardLevels(), 144, 0xE4, true}, {stripes, 32, 0x1B, false}, {dots, 16, 0x07, true}};
}

// The series as the console sends it: each print its own init, data, closing empty packet,
// print packet with its palette, and the status polls of a game waiting for the printer.
void WriteSeries(const std::vector<CSeriesPrint>& prints, const std::filesystem::path& path)
{
    std::ofstream out(path);
    for (const CSeriesPrint& plan : prints) {
        CPrintStyle style;
        style.bCompress = plan.bCompress;
        style.nPalette = plan.nPalette;
        style.nPollsAfter = 20;
        for (const CPacket& packet : BuildPrintSession(EncodeTiles(plan.levels, plan.nRows), style)) {
            for (size_t i = 0; i < packet.size(); ++i)
                out << (i ? " " : "") << std::hex << std::uppercase << (packet[i] >> 4) << (packet[i] & 15);
            out << "\n";
        }
    }
}

// The printed series: every print's colour numbers through its palette, one under the other.
std::vector<uint8_t> PrintedLevels(const std::vector<CSeriesPrint>& prints)
{
    std::vector<uint8_t> levels;
    for (const CSeriesPrint& plan : prints)
        for (uint8_t c : plan.levels)
            levels.push_back(PaletteShade(plan.nPalette, c));
    return levels;
}

std::vector<uint8_t> ReceivedLevels(const CReceivedPicture& picture)
{
    const std::vector<uint8_t> tiles(picture.m_TileData.begin(), picture.m_TileData.begin() + picture.m_nTileBytes);
    std::vector<uint8_t> levels;
    for (int32_t y = 0; y < 8 * (picture.m_nTileBytes / 320); ++y)
        for (int32_t x = 0; x < 160; ++x)
            levels.push_back(TileLevelAt(tiles, x, y));
    return levels;
}

struct CFaultRow {
    const char* pName;
    const char* pFaults;  // sim options besides the replay
    int nSeeds;
    int nMinComplete;     // of the seeds, at least this many arrive whole
    bool bStrict = false; // every block confirmed by a second pass
};

class SeriesSimTest : public ::testing::TestWithParam<CFaultRow> {
protected:
    CScratchFolder m_Dir{"quillomat-series"};
};

TEST_P(SeriesSimTest, ArrivesExactOrSaysItIsNot)
{
    const CFaultRow& row = GetParam();
    const std::vector<CSeriesPrint> prints = ThreePrints();
    const std::filesystem::path replay = m_Dir / "series.txt";
    WriteSeries(prints, replay);
    const std::vector<uint8_t> expected = PrintedLevels(prints);

    int nComplete = 0;
    for (int nSeed = 1; nSeed <= row.nSeeds; ++nSeed) {
        SCOPED_TRACE("seed " + std::to_string(nSeed));
        const COpenedLink link =
            OpenLink("sim:replay=" + replay.string() + ",reprints=4" + row.pFaults + ",seed=" + std::to_string(nSeed));
        ASSERT_TRUE(link.pPort) << link.strError;
        const CSessionOutcome outcome =
            RunSession(link.pPort, m_Dir / "Tarvo.log", 300, true, [&row](CReceiveSession& session) {
                session.SetStrict(row.bStrict);
                session.SetAllPrints(true);
                session.SetQuietMilliseconds(0);
            });
        // Whole, with no block good only by estimate: what the program calls exact.
        const bool bExactClaimed = outcome.bComplete && outcome.series.nEstimated == 0 && outcome.series.nSumOnly == 0;
        if (bExactClaimed) {
            ++nComplete;
            EXPECT_TRUE(outcome.bEndedByItself);
            const std::vector<uint8_t> levels = ReceivedLevels(outcome.picture);
            ASSERT_EQ(levels.size(), expected.size()) << "a short or long picture was called whole";
            const auto nWrong = std::inner_product(levels.begin(), levels.end(), expected.begin(), size_t{0},
                                                   std::plus<>(), std::not_equal_to<>());
            EXPECT_EQ(nWrong, 0u) << "a wrong picture was called whole";
        }
        // Every message asked for the series again, and none came while it was arriving.
        for (const std::string& strMessage : outcome.messages)
            EXPECT_NE(strMessage.find("Bitte alle Bilder noch einmal ausdrucken, vom ersten an"), std::string::npos)
                << strMessage;
    }
    EXPECT_GE(nComplete, row.nMinComplete);
}

INSTANTIATE_TEST_SUITE_P(Faults, SeriesSimTest,
                         ::testing::Values(CFaultRow{"Clean", "", 1, 1},
                                           CFaultRow{"Flips", ",faults=flip:0.0005", 2, 1},
                                           CFaultRow{"Cuts", ",faults=cut:0.02", 4, 2},
                                           // Stalls leave blocks good only by estimate: whole
                                           // but not exact is the most they may claim.
                                           CFaultRow{"Stalls", ",faults=stall:0.0005", 4, 0},
                                           // A console that checks every answer gives the rest
                                           // of the series up at a packet cut, garbled or left
                                           // unanswered: a shorter series is no whole one.
                                           CFaultRow{"CutsGiveUp", ",ack,faults=cut:0.02", 6, 1},
                                           // Flips leave no mark: only blocks a second pass
                                           // confirms make an exact claim.
                                           CFaultRow{"FlipsGiveUp", ",ack,faults=flip:0.001", 6, 1, true}),
                         [](const ::testing::TestParamInfo<CFaultRow>& info) { return info.param.pName; });

}  // namespace
