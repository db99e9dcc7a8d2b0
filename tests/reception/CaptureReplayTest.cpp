// Sessions recorded between real consoles and printers, replayed through the simulated line.
// In all-prints mode each gives its whole reference picture: every print, in order, each with
// its palette. Otherwise each gives the picture our rules make of it: the blocks of the first attempt (which ends once
// 60 packet searches pass without a data packet, as in a real printer's long busy polling
// after a print), expanded only when compressed headers outnumber plain ones (headers of
// packets with data only). The reference pictures apply the print packet's palette; we
// ignore it, so sessions with a palette other than E4/00 compare against the raw indices. The
// dialog closes on such a picture, but the verdict does not call it the console's whole
// picture: a print without a lower margin goes on in the next, a palette is not applied.
#include <gtest/gtest.h>

#include <fstream>

#include "bitmap/CDib.h"
#include "console/PrintSession.h"
#include "linkspec/LinkSpec.h"
#include "reception/SessionDriver.h"
#include "reception/TileDecoder.h"
#include "support/CaptureFiles.h"

namespace {

struct CCaptureCase {
    const char* pName;
    const char* pReference;   // "expected" or "indices"
    int32_t nRows;            // rows of the reference the picture shows (-1: all of them)
    bool bGreyBand;           // a compressed stream ends in the grey padding band
    // What the verdict calls the picture, and why it is not the console's whole picture.
    EReceptionOutcome eOutcome;
    uint8_t nNotWhole;
    const char* pWhy;         // where the picture differs from the whole reference
    bool bAllPrints = false;  // every print of the session, each with its palette
};

// Test listings name the session, not the bytes of the case.
void PrintTo(const CCaptureCase& c, std::ostream* pOut)
{
    *pOut << c.pName;
}

const CCaptureCase CAPTURES[] = {
    {"camera_jp", "expected", -1, false, EReceptionOutcome::Complete, 0, ""},
    {"tsuri_sensei2_break", "expected", -1, false, EReceptionOutcome::Complete, 0, ""},
    {"alice_palettes_d2_47", "indices", -1, false, EReceptionOutcome::NotWholePicture, NOT_WHOLE_PALETTE, ""},
    {"mcdonalds_palettes_03_30", "indices", -1, false, EReceptionOutcome::NotWholePicture, NOT_WHOLE_PALETTE, ""},
    {"camera_wildframe", "expected", 160, false, EReceptionOutcome::NotWholePicture, NOT_WHOLE_GOES_ON,
     "the 80 status polls after the second print end the attempt; the third print is not read"},
    {"nakayoshi_cooking1_palette_07", "indices", 160, false, EReceptionOutcome::NotWholePicture, NOT_WHOLE_GOES_ON | NOT_WHOLE_PALETTE,
     "the 82 status polls after the second print end the attempt"},
    {"pokemon_yellow", "expected", 80, false, EReceptionOutcome::NotWholePicture, NOT_WHOLE_GOES_ON, "the 72 packets after the first print's data end the attempt"},
    {"smb_deluxe_banner", "expected", 144, false, EReceptionOutcome::NotWholePicture, NOT_WHOLE_GOES_ON, "the 110 packets after the first print end the attempt"},
    {"tales_of_phantasia_compressed", "expected", 128, true, EReceptionOutcome::NotWholePicture, NOT_WHOLE_GOES_ON,
     "the first print's eight compressed blocks, expanded, then the grey padding band"},
    // The empty data packets (one before the init, one closing the print) carry nothing and
    // do not vote: the two compressed blocks are expanded.
    {"pokemon_tcg_compressed", "expected", 32, true, EReceptionOutcome::NotWholePicture, NOT_WHOLE_GOES_ON,
     "the first print's two compressed blocks, expanded, then the grey padding band"},
    {"all_camera_jp", "expected", -1, false, EReceptionOutcome::Complete, 0, "", true},
    {"all_camera_wildframe", "expected", -1, false, EReceptionOutcome::Complete, 0, "", true},
    {"all_pokemon_tcg_compressed", "expected", -1, false, EReceptionOutcome::Complete, 0, "", true},
    {"all_tales_of_phantasia_compressed", "expected", -1, false, EReceptionOutcome::Complete, 0, "", true},
    {"all_alice_palettes_d2_47", "expected", -1, false, EReceptionOutcome::Complete, 0, "", true},
    {"all_mcdonalds_palettes_03_30", "expected", -1, false, EReceptionOutcome::Complete, 0, "", true},
    {"all_nakayoshi_cooking1_palette_07", "expected", -1, false, EReceptionOutcome::Complete, 0, "", true},
    {"all_pokemon_yellow", "expected", -1, false, EReceptionOutcome::Complete, 0, "", true},
    {"all_smb_deluxe_banner", "expected", -1, false, EReceptionOutcome::Complete, 0, "", true},
    {"all_tsuri_sensei2_break", "expected", -1, false, EReceptionOutcome::Complete, 0, "", true},
};

// The recorded session a case replays: its name without the mode's prefix.
std::string SessionOf(const CCaptureCase& c)
{
    const std::string strName = c.pName;
    return c.bAllPrints ? strName.substr(4) : strName;
}

// The received picture as rows of colour numbers, through the same decoding the view uses.
std::vector<std::string> PictureRows(const CReceivedPicture& picture)
{
    CDib dib;
    EXPECT_TRUE(CreateReceivedPicture(picture.m_TileData.data(), picture.m_nTileBytes, dib));
    const int32_t nRows = dib.GetDimensions().cy;
    std::vector<std::string> rows;
    for (int32_t y = 0; y < nRows; ++y) {
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
    return rows;
}

// bAck: the console checks every answer and gives the rest up when one is missing, as a real
// one does.
CSessionOutcome Replay(const std::string& strName, const std::filesystem::path& scratch, bool bAllPrints = false,
                       bool bAck = false)
{
    const COpenedLink link =
        OpenLink("sim:replay=" + (CapturesDir() / (strName + ".txt")).string() + (bAck ? ",ack" : ""));
    EXPECT_TRUE(link.pPort) << link.strError;
    if (!bAllPrints)
        return RunSession(link.pPort, scratch / "Tarvo.log", 40);
    return RunSession(link.pPort, scratch / "Tarvo.log", 200, true, [](CReceiveSession& session) {
        session.SetAllPrints(true);
        session.SetQuietMilliseconds(0);
    });
}

using CaptureReplayTest = CCaptureTest<CCaptureCase>;

TEST_P(CaptureReplayTest, GivesThePictureOfTheRules)
{
    const CCaptureCase& c = GetParam();
    std::vector<std::string> expected = ReadRows(CapturesDir() / (SessionOf(c) + "." + c.pReference + ".txt"));
    ASSERT_FALSE(expected.empty());
    if (c.nRows >= 0) {
        ASSERT_LE(static_cast<size_t>(c.nRows), expected.size());
        expected.resize(static_cast<size_t>(c.nRows));
    }
    if (c.bGreyBand)
        expected.insert(expected.end(), 8, std::string(160, '2'));

    // All prints: also from a console that gives the series up at the first packet left
    // unanswered, so the program must answer every one, the long busy polling between prints
    // included.
    for (const bool bAck : {false, true}) {
        if (bAck && !c.bAllPrints)
            break;
        SCOPED_TRACE(bAck ? "console checks every answer" : "console ignores the answers");
        const CSessionOutcome outcome = Replay(SessionOf(c), m_Dir, c.bAllPrints, bAck);
        EXPECT_TRUE(outcome.bComplete) << c.pWhy;
        EXPECT_TRUE(outcome.bEndedByItself) << c.pWhy;
        EXPECT_TRUE(outcome.messages.empty());
        // Exact only where the picture is the console's whole one, with its palette.
        EXPECT_EQ(outcome.series.Outcome(), c.eOutcome) << c.pWhy;
        EXPECT_EQ(outcome.series.nNotWhole, c.nNotWhole) << c.pWhy;
        const std::vector<std::string> rows = PictureRows(outcome.picture);
        ASSERT_EQ(rows.size(), expected.size()) << c.pWhy;
        for (size_t y = 0; y < rows.size(); ++y)
            ASSERT_EQ(rows[y], expected[y]) << "row " << y << "; " << c.pWhy;
    }
}

INSTANTIATE_TEST_SUITE_P(Sessions, CaptureReplayTest, ::testing::ValuesIn(CAPTURES),
                         [](const ::testing::TestParamInfo<CCaptureCase>& info) { return info.param.pName; });

}  // namespace
