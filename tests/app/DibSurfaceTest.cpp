// Drawing a CDib with a QPainter: orientation, colour tables, unscaled and scaled copies, the
// printer's placement.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <sstream>

#include "app/QtDibSurface.h"
#include "bitmap/CDib.h"

namespace {

void Put16(std::string& s, uint16_t n)
{
    s += char(n & 0xFF);
    s += char(n >> 8);
}
void Put32(std::string& s, uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        s += char((n >> (8 * i)) & 0xFF);
}

// A bitmap file with a colour table, built byte by byte so the test does not depend on the
// code under test to make it.
bool LoadIndexed(CDib& dib, int nWidth, int nHeight, uint16_t nBits, const std::vector<uint32_t>& colours,
                 const std::vector<std::vector<uint8_t>>& rowsTopDown)
{
    uint32_t nRowBytes = ((uint32_t(nWidth) * nBits + 31) / 32) * 4;
    uint32_t nImage = nRowBytes * uint32_t(nHeight);
    uint32_t nOffset = 14 + 40 + 4 * uint32_t(colours.size());
    std::string s = "BM";
    Put32(s, nOffset + nImage);
    Put32(s, 0);
    Put32(s, nOffset);
    Put32(s, 40);
    Put32(s, uint32_t(nWidth));
    Put32(s, uint32_t(nHeight));
    Put16(s, 1);
    Put16(s, nBits);
    Put32(s, 0);
    Put32(s, nImage);
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, uint32_t(colours.size()));
    Put32(s, 0);
    for (uint32_t c : colours)
        Put32(s, c);  // 0x00RRGGBB is stored blue, green, red, 0
    for (int y = nHeight - 1; y >= 0; --y) {
        std::string row(nRowBytes, '\0');
        for (size_t i = 0; i < rowsTopDown[size_t(y)].size(); ++i)
            row[i] = char(rowsTopDown[size_t(y)][i]);
        s += row;
    }
    std::istringstream in(s);
    return dib.Read(in).Ok();
}

QImage Canvas(int nWidth, int nHeight)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    image.fill(QColor(0x12, 0x34, 0x56));
    return image;
}

} // namespace

TEST(DibSurface, TwentyFourBitImageIsTopDownRgb)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(3, 2));
    dib.SetPixel({0, 0}, 0xFF0000);
    dib.SetPixel({2, 0}, 0x00FF00);
    dib.SetPixel({1, 1}, 0x0000FF);
    QImage image = DibToQImage(dib);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 255, 255));
}

TEST(DibSurface, IndexedDepthsUseTheColourTable)
{
    const std::vector<uint32_t> mono = {0x000000, 0xFFFFFF};
    const std::vector<uint32_t> four = {0x000000, 0x112233, 0x445566, 0x778899, 0xAABBCC, 0xDDEEFF, 0x010203, 0x040506,
                                        0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112, 0x131415, 0x161718, 0x191A1B, 0x1C1D1E};
    const std::vector<uint32_t> eight = {0x102030, 0x405060, 0x708090};
    struct {
        uint16_t nBits;
        std::vector<uint32_t> colours;
        std::vector<std::vector<uint8_t>> rows;  // top-down
        std::vector<std::pair<QPoint, uint32_t>> expected;
    } const cases[] = {
        {1, mono, {{0x80 | 0x01}, {0x40}}, {{{0, 0}, 0xFFFFFF}, {{7, 0}, 0xFFFFFF}, {{1, 0}, 0}, {{1, 1}, 0xFFFFFF}}},
        {4, four, {{0x12, 0x34}, {0x5F, 0x00}}, {{{0, 0}, 0x112233}, {{1, 0}, 0x445566}, {{3, 0}, 0xAABBCC},
                                                 {{0, 1}, 0xDDEEFF}, {{1, 1}, 0x1C1D1E}}},
        {8, eight, {{2, 1, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 1}}, {{{0, 0}, 0x708090}, {{1, 0}, 0x405060},
                                                                         {{7, 1}, 0x405060}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nBits);
        CDib dib;
        ASSERT_TRUE(LoadIndexed(dib, 8, 2, c.nBits, c.colours, c.rows));
        QImage image = DibToQImage(dib);
        ASSERT_FALSE(image.isNull());
        for (const auto& [pt, rgb] : c.expected)
            EXPECT_EQ(image.pixel(pt) & 0xFFFFFF, rgb) << pt.x() << "," << pt.y();
    }
}

TEST(DibSurface, EmptyPictureDrawsNothing)
{
    CDib dib;
    EXPECT_TRUE(DibToQImage(dib).isNull());
    QImage canvas = Canvas(4, 4);
    QPainter painter(&canvas);
    CQtDibSurface surface(painter, false, 96, 96);
    EXPECT_EQ(dib.Draw(surface, CRect{0, 0, 0, 0}, CPoint{0, 0}), 0);
    painter.end();
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0x12, 0x34, 0x56));
}

TEST(DibSurface, ScreenCopyIsOneToOne)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(4, 3));
    dib.SetPixel({0, 0}, 0x000000);
    dib.SetPixel({3, 2}, 0xAAAAAA);
    QImage canvas = Canvas(10, 10);
    QPainter painter(&canvas);
    painter.translate(2, 1);
    CQtDibSurface surface(painter, false, 96, 96);
    EXPECT_EQ(dib.Draw(surface, CRect{0, 0, 4, 3}, CPoint{0, 0}), 3);
    painter.end();
    EXPECT_EQ(canvas.pixel(2, 1), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.pixel(3, 1), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(5, 3), qRgb(0xAA, 0xAA, 0xAA));
    // Nothing around the picture is touched.
    EXPECT_EQ(canvas.pixel(6, 3), qRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(canvas.pixel(5, 4), qRgb(0x12, 0x34, 0x56));
    EXPECT_EQ(canvas.pixel(1, 1), qRgb(0x12, 0x34, 0x56));
}

TEST(DibSurface, PrinterPlacesAndScalesThePictureInEvenBlocks)
{
    // 160 x 144 placed at (200, 200) of a 300-dpi page and 1300 / 300 of its dots a pixel: on
    // the device every pixel is the whole number of dots nearest to that, the same for all,
    // colour on colour. The page at 600 dpi is drawn on as at 300 (PrintTo scales by two).
    CDib dib;
    ASSERT_TRUE(dib.Create(160, 144));
    for (int y = 0; y < 144; ++y)
        for (int x = 0; x < 160; ++x)
            dib.SetPixel({x, y}, ((x + y) & 1) ? 0x000000 : 0xFFFFFF);
    dib.SetPixel({159, 143}, 0xFF0000);
    struct {
        int nScale;  // device dots per 300-dpi dot
        int nBlock;  // device dots per picture pixel
    } const cases[] = {{1, 4}, {2, 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nScale);
        QImage page = Canvas(1000 * c.nScale, 900 * c.nScale);
        QPainter painter(&page);
        painter.scale(c.nScale, c.nScale);
        CQtDibSurface surface(painter, true, 300, 300);
        EXPECT_GT(dib.Draw(surface, CRect{0, 0, 160, 144}, CPoint{0, 0}), 0);
        painter.end();
        const int nLeft = 200 * c.nScale;
        const QRect rcPicture(nLeft, nLeft, 160 * c.nBlock, 144 * c.nBlock);
        for (int y = nLeft - 2; y < rcPicture.bottom() + 3; ++y)
            for (int x = nLeft - 2; x < rcPicture.right() + 3; ++x) {
                const QRgb c0 = page.pixel(x, y) & 0xFFFFFF;
                const QRgb want = rcPicture.contains(x, y)
                                      ? dib.GetPixel({(x - nLeft) / c.nBlock, (y - nLeft) / c.nBlock})
                                      : 0x123456;
                ASSERT_EQ(c0, want) << x << "," << y;
            }
    }
}
