#include "app/QtDibClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstring>

#include "bitmap/CDib.h"

namespace {

void PutUInt16(uint8_t* p, uint16_t n)
{
    p[0] = uint8_t(n);
    p[1] = uint8_t(n >> 8);
}

void PutUInt32(uint8_t* p, uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(n >> (8 * i));
}

uint32_t GetUInt32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

QImage DecodeImage(const QMimeData* pData)
{
    if (pData->hasImage()) {
        QImage image = qvariant_cast<QImage>(pData->imageData());
        if (!image.isNull())
            return image;
    }
    for (const QString& strFormat : pData->formats()) {
        if (!strFormat.startsWith(QLatin1String("image/")))
            continue;
        QImage image = QImage::fromData(pData->data(strFormat));
        if (!image.isNull())
            return image;
    }
    return {};
}

} // namespace

std::vector<uint8_t> ImageToDib24(const QImage& image)
{
    if (image.isNull())
        return {};
    // A picture too big to be taken is not converted at all; the sizes then also fit the
    // header's 32-bit fields.
    const uint64_t nRowBytes64 = (uint64_t(image.width()) * 3 + 3) & ~uint64_t(3);
    if (nRowBytes64 * uint64_t(image.height()) > DibImageLimit())
        return {};
    QImage rgb = image.convertToFormat(QImage::Format_BGR888);
    if (rgb.isNull())
        return {};
    const uint32_t nWidth = uint32_t(rgb.width());
    const uint32_t nHeight = uint32_t(rgb.height());
    const uint32_t nRowBytes = uint32_t(nRowBytes64);
    const uint32_t nImageSize = nRowBytes * nHeight;
    std::vector<uint8_t> dib(40 + size_t(nImageSize), 0);
    uint8_t* h = dib.data();
    PutUInt32(h + 0, 40);
    PutUInt32(h + 4, nWidth);
    PutUInt32(h + 8, nHeight);
    PutUInt16(h + 12, 1);
    PutUInt16(h + 14, 24);
    PutUInt32(h + 16, 0);
    PutUInt32(h + 20, nImageSize);
    for (uint32_t y = 0; y < nHeight; ++y)
        std::memcpy(h + 40 + size_t(nHeight - 1 - y) * nRowBytes, rgb.constScanLine(int(y)), nWidth * 3);
    return dib;
}

QByteArray DibToBmpFile(const std::vector<uint8_t>& dib)
{
    if (dib.size() < 40 || dib.size() > 0x7FFFFFF0u - 14)
        return {};
    uint32_t nColors = GetUInt32(dib.data() + 32);
    uint16_t nBits = uint16_t(dib[14] | dib[15] << 8);
    if (nColors == 0 && nBits <= 8)
        nColors = 1u << nBits;
    uint64_t nOffset = 14 + 40 + 4ull * nColors;
    if (nOffset > 14 + dib.size())
        return {};
    QByteArray file(14, '\0');
    uint8_t* p = reinterpret_cast<uint8_t*>(file.data());
    p[0] = 'B';
    p[1] = 'M';
    PutUInt32(p + 2, uint32_t(14 + dib.size()));
    PutUInt32(p + 10, uint32_t(nOffset));
    file.append(reinterpret_cast<const char*>(dib.data()), qsizetype(dib.size()));
    return file;
}

bool MimeDataToDib(const QMimeData* pData, std::vector<uint8_t>& bytes)
{
    if (!pData)
        return false;
    if (pData->hasFormat(QLatin1String(DIB_MIME_TYPE))) {
        QByteArray data = pData->data(QLatin1String(DIB_MIME_TYPE));
        if (!data.isEmpty()) {
            bytes.assign(data.begin(), data.end());
            return true;
        }
    }
    QImage image = DecodeImage(pData);
    if (image.isNull())
        return false;
    bytes = ImageToDib24(image);
    return !bytes.empty();
}

bool CQtDibClipboard::GetDib(std::vector<uint8_t>& bytes)
{
    return MimeDataToDib(QGuiApplication::clipboard()->mimeData(), bytes);
}

void CQtDibClipboard::EmptyAndSetDib(std::vector<uint8_t> bytes)
{
    auto* pData = new QMimeData;
    pData->setData(QLatin1String(DIB_MIME_TYPE),
                   QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    QByteArray file = DibToBmpFile(bytes);
    if (!file.isEmpty()) {
        pData->setData(QStringLiteral("image/bmp"), file);
        QImage image = QImage::fromData(file, "BMP");
        if (!image.isNull())
            pData->setImageData(image);
    }
    QGuiApplication::clipboard()->setMimeData(pData);
}

bool CQtDibClipboard::HasPicture()
{
    return HasPicture(QGuiApplication::clipboard()->mimeData());
}

bool CQtDibClipboard::HasPicture(const QMimeData* pData)
{
    if (!pData)
        return false;
    if (pData->hasFormat(QLatin1String(DIB_MIME_TYPE)) || pData->hasImage())
        return true;
    for (const QString& strFormat : pData->formats())
        if (strFormat.startsWith(QLatin1String("image/")))
            return true;
    return false;
}
