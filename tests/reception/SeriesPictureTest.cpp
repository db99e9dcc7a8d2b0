// One picture of a series of prints: palettes per print, each packet expanded by its own flag,
// no padding band.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "reception/PrintSeries.h"
#include "reception/SeriesPicture.h"

namespace {

struct CShadeCase {
    uint8_t nPalette;
    uint8_t shades[4];  // for colour numbers 0..3
};

TEST(PaletteShade, EachColourTakesItsTwoBits)
{
    const CShadeCase CASES[] = {
        {0xE4, {0, 1, 2, 3}},  // the standard palette
        {0x00, {0, 1, 2, 3}},  // "no palette" prints as the standard one
        {0x1B, {3, 2, 1, 0}},  // inverted
        {0x07, {3, 1, 0, 0}},  // colours 2 and 3 white
        {0xD2, {2, 0, 1, 3}},
        {0xFF, {3, 3, 3, 3}},
    };
    for (const CShadeCase& c : CASES)
        for (unsigned n = 0; n < 4; ++n)
            EXPECT_EQ(PaletteShade(c.nPalette, n), c.shades[n]) << std::hex << int(c.nPalette) << " colour " << n;
}

TEST(ApplyPalette, MapsEveryPixelOfATileRow)
{
    // Colours 0 1 2 3 3 2 1 0 from the left; the inverted palette gives 3 2 1 0 0 1 2 3. An odd
    // last byte has no partner and stays.
    std::vector<uint8_t> tiles = {0x5A, 0x3C, 0x5A, 0x3C, 0x77};
    ApplyPalette(tiles.data(), static_cast<int32_t>(tiles.size()), 0x1B);
    EXPECT_EQ(tiles, (std::vector<uint8_t>{0xA5, 0xC3, 0xA5, 0xC3, 0x77}));
    ApplyPalette(tiles.data(), 4, 0x00);
    EXPECT_EQ(tiles, (std::vector<uint8_t>{0xA5, 0xC3, 0xA5, 0xC3, 0x77}));
}

// A series of prints, each a list of packets (flag, bytes) and a palette.
struct CPlannedPrint {
    std::vector<std::pair<uint8_t, std::vector<uint8_t>>> packets;
    uint8_t nPalette;
};

std::unique_ptr<CPrintSeries> MakeSeries(const std::vector<CPlannedPrint>& prints)
{
    auto pSeries = std::make_unique<CPrintSeries>();
    pSeries->Clear();
    int32_t c = 0;
    for (const CPlannedPrint& plan : prints) {
        CSeriesPrint& print = pSeries->m_Prints[pSeries->m_nPrints++];
        print.m_nFirst = c;
        for (const auto& [nFlag, bytes] : plan.packets) {
            CSeriesBlock& block = pSeries->m_Blocks[c++];
            block.m_nPacked = nFlag;
            block.m_nLength = static_cast<int32_t>(bytes.size());
            std::copy(bytes.begin(), bytes.end(), block.m_Bytes);
        }
        print.m_nEnd = c;
        print.m_Args[PRINT_ARG_PALETTE] = plan.nPalette;
        print.m_bArgsOk = true;
    }
    return pSeries;
}

const std::vector<uint8_t> BAND_OF_AA_PACKED = {0xFF, 0xAA, 0xFF, 0xAA, 0xBC, 0xAA};  // 129 + 129 + 62

std::vector<uint8_t> Repeat(const std::vector<uint8_t>& part, size_t nTimes)
{
    std::vector<uint8_t> out;
    for (size_t n = 0; n < nTimes; ++n)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

struct CSeriesCase {
    const char* pName;
    std::vector<CPlannedPrint> prints;
    int32_t nOutMax;
    std::vector<uint8_t> expected;
    bool bWholeBands;
};

class AssembleSeriesTest : public ::testing::TestWithParam<CSeriesCase> {};

TEST_P(AssembleSeriesTest, PrintsFollowEachOther)
{
    const CSeriesCase& c = GetParam();
    const auto pSeries = MakeSeries(c.prints);
    std::vector<uint8_t> out(static_cast<size_t>(c.nOutMax) + 16, 0xEE);
    bool bWhole = false;
    const int32_t n = AssembleSeries(*pSeries, out.data(), c.nOutMax, bWhole);
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + n), c.expected);
    EXPECT_EQ(bWhole, c.bWholeBands);
    EXPECT_EQ(out[static_cast<size_t>(c.nOutMax)], 0xEE) << "wrote beyond the limit";
    // Counting alone gives the same length and verdict.
    bool bCountedWhole = false;
    EXPECT_EQ(AssembleSeries(*pSeries, nullptr, c.nOutMax, bCountedWhole), n);
    EXPECT_EQ(bCountedWhole, bWhole);
}

INSTANTIATE_TEST_SUITE_P(
    Series, AssembleSeriesTest,
    ::testing::Values(
        // Plain and compressed packets in one print and across prints, no padding band; only
        // the second print is inverted by its palette.
        CSeriesCase{"MixedFlagsOwnPalettes",
                    {{{{0x00, Repeat({0x5A, 0x3C}, 160)}, {0x01, BAND_OF_AA_PACKED}}, 0x00},
                     {{{0x01, BAND_OF_AA_PACKED}}, 0x1B}},
                    4000,
                    [] {
                        std::vector<uint8_t> v = Repeat({0x5A, 0x3C}, 160);
                        const std::vector<uint8_t> aa(320, 0xAA);
                        v.insert(v.end(), aa.begin(), aa.end());
                        // 0xAA 0xAA: colours 3 0 3 0 ...; inverted: 0 3 0 3 ... = 0x55 0x55
                        const std::vector<uint8_t> inv(320, 0x55);
                        v.insert(v.end(), inv.begin(), inv.end());
                        return v;
                    }(),
                    true},
        // The console's "no palette" leaves the bytes as they came.
        CSeriesCase{"PaletteZeroKeepsBytes", {{{{0x00, Repeat({0x12, 0x34}, 160)}}, 0x00}}, 4000,
                    Repeat({0x12, 0x34}, 160), true},
        // A print that stops inside a band cannot be laid out as the console printed it.
        CSeriesCase{"PrintOffTheBand", {{{{0x00, Repeat({0x00, 0x00}, 170)}}, 0xE4}}, 4000,
                    Repeat({0x00, 0x00}, 170), false},
        // More than the output holds: cut, and said so.
        CSeriesCase{"CutAtTheLimit", {{{{0x01, BAND_OF_AA_PACKED}, {0x01, BAND_OF_AA_PACKED}}, 0xE4}}, 500,
                    std::vector<uint8_t>(500, 0xAA), false},
        CSeriesCase{"NoPrints", {}, 4000, {}, true}),
    [](const ::testing::TestParamInfo<CSeriesCase>& info) { return info.param.pName; });

}  // namespace
