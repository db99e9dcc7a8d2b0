// The clipboard slot on QClipboard: what a copy puts there, what a paste takes.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "app/QtDibClipboard.h"
#include "bitmap/CDib.h"

namespace {

void SetClipboard(QMimeData* pData)
{
    QGuiApplication::clipboard()->setMimeData(pData);
}

QImage TestImage(int nWidth, int nHeight)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            image.setPixel(x, y, qRgb(x * 7 & 0xFF, y * 5 & 0xFF, (x + y) & 0xFF));
    return image;
}

} // namespace

TEST(DibClipboard, CopyOffersOurDibAndAStandardImage)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(5, 3));
    dib.SetPixel({4, 0}, 0x123456);
    CQtDibClipboard clipboard;
    ASSERT_TRUE(dib.CopyToClipboard(clipboard).Ok());
    const QMimeData* pData = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(pData, nullptr);
    // Our bytes: the info header and the pixel block, as CF_DIB holds them.
    QByteArray bytes = pData->data(QLatin1String(DIB_MIME_TYPE));
    EXPECT_EQ(bytes.size(), qsizetype(40 + dib.GetImageSize()));
    // Other programs get a bitmap file and an image, both showing the same pixels.
    QImage fromBmp = QImage::fromData(pData->data(QStringLiteral("image/bmp")), "BMP");
    ASSERT_FALSE(fromBmp.isNull());
    EXPECT_EQ(fromBmp.size(), QSize(5, 3));
    EXPECT_EQ(fromBmp.pixel(4, 0) & 0xFFFFFF, 0x123456u);
    ASSERT_TRUE(pData->hasImage());
    QImage image = qvariant_cast<QImage>(pData->imageData());
    EXPECT_EQ(image.pixel(4, 0) & 0xFFFFFF, 0x123456u);
    EXPECT_TRUE(CQtDibClipboard::HasPicture());
}

TEST(DibClipboard, PasteTakesOurDibUnchanged)
{
    CDib source;
    ASSERT_TRUE(source.Create(7, 4));
    source.SetPixel({6, 3}, 0xABCDEF);
    {
        CQtDibClipboard clipboard;
        ASSERT_TRUE(source.CopyToClipboard(clipboard).Ok());
    }
    CDib target;
    CQtDibClipboard clipboard;
    ASSERT_TRUE(target.PasteFromClipboard(clipboard).Ok());
    EXPECT_EQ(target.GetDimensions(), (CSize{7, 4}));
    EXPECT_EQ(target.GetBitCount(), 24);
    EXPECT_EQ(target.GetPixel({6, 3}), 0xABCDEFu);
}

TEST(DibClipboard, ForeignImagesBecomeTwentyFourBitPictures)
{
    // An image from another program: Qt's image data, or only a PNG.
    QImage image = TestImage(9, 5);
    struct {
        const char* pszName;
        std::function<QMimeData*()> fnMake;
    } const sources[] = {
        {"image data", [&] { auto* p = new QMimeData; p->setImageData(image); return p; }},
        {"png only", [&] {
             QByteArray png;
             QBuffer buffer(&png);
             buffer.open(QIODevice::WriteOnly);
             image.save(&buffer, "PNG");
             auto* p = new QMimeData;
             p->setData(QStringLiteral("image/png"), png);
             return p;
         }},
    };
    for (const auto& source : sources) {
        SCOPED_TRACE(source.pszName);
        SetClipboard(source.fnMake());
        EXPECT_TRUE(CQtDibClipboard::HasPicture());
        CDib dib;
        CQtDibClipboard clipboard;
        ASSERT_TRUE(dib.PasteFromClipboard(clipboard).Ok());
        EXPECT_EQ(dib.GetDimensions(), (CSize{9, 5}));
        EXPECT_EQ(dib.GetBitCount(), 24);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(dib.GetPixel({x, y}), image.pixel(x, y) & 0xFFFFFF) << x << "," << y;
    }
}

TEST(DibClipboard, NoPictureMeansNothingToPaste)
{
    struct {
        const char* pszName;
        std::function<QMimeData*()> fnMake;
    } const sources[] = {
        {"text", [] { auto* p = new QMimeData; p->setText(QStringLiteral("kein Bild")); return p; }},
        {"empty", [] { return new QMimeData; }},
        {"undecodable image", [] { auto* p = new QMimeData; p->setData(QStringLiteral("image/png"), "nonsense"); return p; }},
    };
    for (const auto& source : sources) {
        SCOPED_TRACE(source.pszName);
        SetClipboard(source.fnMake());
        CDib dib;
        ASSERT_TRUE(dib.Create(2, 2));
        CQtDibClipboard clipboard;
        std::vector<uint8_t> bytes;
        EXPECT_FALSE(clipboard.GetDib(bytes));
        EXPECT_FALSE(dib.PasteFromClipboard(clipboard).Ok());
        EXPECT_EQ(dib.GetDimensions(), (CSize{2, 2}));
    }
    SetClipboard(new QMimeData);
    EXPECT_FALSE(CQtDibClipboard::HasPicture());
}

TEST(DibClipboard, ImageToDibLayout)
{
    // Rows are bottom-up, blue-green-red, padded to four bytes.
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    image.setPixel(2, 1, qRgb(4, 5, 6));
    std::vector<uint8_t> dib = ImageToDib24(image);
    ASSERT_EQ(dib.size(), 40u + 2 * 12);
    EXPECT_EQ(dib[0], 40);
    EXPECT_EQ(dib[4], 3);
    EXPECT_EQ(dib[8], 2);
    EXPECT_EQ(dib[14], 24);
    const uint8_t* pBottom = dib.data() + 40;   // picture row 1
    const uint8_t* pTop = dib.data() + 40 + 12; // picture row 0
    EXPECT_EQ((std::vector<uint8_t>(pTop, pTop + 3)), (std::vector<uint8_t>{3, 2, 1}));
    EXPECT_EQ((std::vector<uint8_t>(pBottom + 6, pBottom + 9)), (std::vector<uint8_t>{6, 5, 4}));
    EXPECT_TRUE(ImageToDib24(QImage()).empty());
    // A foreign picture beyond what a picture may hold is refused before it is converted.
    {
        const uint64_t nOld = SetDibImageLimit(2 * 12);
        EXPECT_EQ(ImageToDib24(image).size(), 40u + 2 * 12);
        EXPECT_TRUE(ImageToDib24(QImage(3, 3, QImage::Format_RGB32)).empty());
        SetDibImageLimit(nOld);
    }
    // A bitmap file needs at least an info header.
    EXPECT_TRUE(DibToBmpFile(std::vector<uint8_t>(39, 0)).isEmpty());
    QByteArray file = DibToBmpFile(dib);
    ASSERT_EQ(file.size(), qsizetype(14 + dib.size()));
    EXPECT_EQ(file.left(2), QByteArray("BM"));
    EXPECT_EQ(uint8_t(file[10]), 54);  // pixels right behind the header: no colour table
}
