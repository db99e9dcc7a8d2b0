#include "app/QtDibSurface.h"

#include <QPainter>

#include <cstring>

#include "bitmap/CDib.h"

namespace {

int32_t ReadInt32(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

QList<QRgb> ColorTable(const CDib& dib, int nEntries)
{
    QList<QRgb> table;
    const uint8_t* pTable = dib.GetColorTable();
    int nColors = dib.GetColorCount();
    for (int i = 0; i < nEntries; ++i) {
        if (pTable && i < nColors) {
            const uint8_t* q = pTable + 4 * i;  // blue, green, red, reserved
            table.append(qRgb(q[2], q[1], q[0]));
        } else {
            table.append(qRgb(0, 0, 0));
        }
    }
    return table;
}

// Every pixel of the image as an nBlockX × nBlockY block; a null image when that is too big.
QImage EnlargeInBlocks(const QImage& image, int nBlockX, int nBlockY)
{
    constexpr qint64 MAX_PIXELS = qint64(64) << 20;
    if (qint64(image.width()) * nBlockX * image.height() * nBlockY > MAX_PIXELS)
        return {};
    const QImage source = image.convertToFormat(QImage::Format_RGB32);
    QImage blocks(source.width() * nBlockX, source.height() * nBlockY, QImage::Format_RGB32);
    if (blocks.isNull())
        return {};
    for (int y = 0; y < blocks.height(); ++y) {
        const QRgb* pSource = reinterpret_cast<const QRgb*>(source.constScanLine(y / nBlockY));
        QRgb* pDest = reinterpret_cast<QRgb*>(blocks.scanLine(y));
        for (int x = 0; x < blocks.width(); ++x)
            pDest[x] = pSource[x / nBlockX];
    }
    return blocks;
}

} // namespace

QImage DibToQImage(const CDib& dib)
{
    if (dib.IsEmpty())
        return {};
    CSize size = dib.GetDimensions();
    int32_t nRowBytes = dib.GetRowBytes();
    uint16_t nBits = dib.GetBitCount();
    if (size.cx <= 0 || size.cy <= 0 || nRowBytes <= 0)
        return {};
    if (uint64_t(nRowBytes) * uint64_t(size.cy) > dib.GetImageSize() ||
        uint64_t(size.cx) * nBits > uint64_t(nRowBytes) * 8)
        return {};
    const uint8_t* pHeader = dib.GetHeaderBlock();
    uint32_t nCompression = pHeader ? static_cast<uint32_t>(ReadInt32(pHeader + 16)) : 0;
    if (nCompression != 0)
        return {};  // only uncompressed rows are drawn

    QImage::Format format;
    switch (nBits) {
    case 1: format = QImage::Format_Mono; break;
    case 4:
    case 8: format = QImage::Format_Indexed8; break;
    case 16: format = QImage::Format_RGB555; break;
    case 24: format = QImage::Format_BGR888; break;
    case 32: format = QImage::Format_RGB32; break;
    default: return {};
    }
    QImage image(size.cx, size.cy, format);
    if (image.isNull())
        return {};
    const uint8_t* pBits = dib.GetBits();
    for (int32_t y = 0; y < size.cy; ++y) {
        const uint8_t* pRow = pBits + size_t(size.cy - 1 - y) * size_t(nRowBytes);
        uchar* pDest = image.scanLine(y);
        if (nBits == 4) {
            for (int32_t x = 0; x < size.cx; ++x)
                pDest[x] = (x & 1) ? (pRow[x / 2] & 0x0F) : (pRow[x / 2] >> 4);
        } else {
            std::memcpy(pDest, pRow, std::min<size_t>(size_t(image.bytesPerLine()), size_t(nRowBytes)));
        }
    }
    if (nBits == 32) {
        // The fourth byte of a 32-bit row carries nothing; RGB32 wants it opaque.
        for (int32_t y = 0; y < size.cy; ++y) {
            QRgb* p = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int32_t x = 0; x < size.cx; ++x)
                p[x] |= 0xFF000000u;
        }
    }
    if (nBits <= 8)
        image.setColorTable(ColorTable(dib, 1 << nBits));
    return image;
}

void CQtDibSurface::DrawInBlocks(const QRectF& rcDest, const QImage& image)
{
    // The place asked for, in the device's own pixels; each picture pixel then gets as many
    // whole pixels as come nearest to its share, the same for every pixel.
    const QRectF rcDevice = m_Painter.deviceTransform().mapRect(rcDest);
    const int nBlockX = std::max(1, qRound(rcDevice.width() / image.width()));
    const int nBlockY = std::max(1, qRound(rcDevice.height() / image.height()));
    const QPoint ptOrigin(qRound(rcDevice.left()), qRound(rcDevice.top()));
    m_Painter.save();
    m_Painter.resetTransform();
    m_Painter.setViewTransformEnabled(false);
    m_Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // A PDF (and so the print spooler) would get the picture as JPEG otherwise.
    m_Painter.setRenderHint(QPainter::LosslessImageRendering, true);
    const QImage blocks = EnlargeInBlocks(image, nBlockX, nBlockY);
    if (!blocks.isNull())
        m_Painter.drawImage(ptOrigin, blocks);
    else  // too big to enlarge here: the device scales it by the same whole factors
        m_Painter.drawImage(QRect(ptOrigin, QSize(image.width() * nBlockX, image.height() * nBlockY)), image);
    m_Painter.restore();
}

CQtDibSurface::CQtDibSurface(QPainter& painter, bool bPrinting, int nDpiX, int nDpiY)
    : m_Painter(painter), m_bPrinting(bPrinting), m_nDpiX(nDpiX), m_nDpiY(nDpiY)
{
}

const CDibPalette* CQtDibSurface::SelectPalette(const CDibPalette* pPalette)
{
    // A true-colour device needs no palette; the colour table travels with the image.
    const CDibPalette* pPrevious = m_pPalette;
    m_pPalette = pPalette;
    return pPrevious;
}

QRect CQtDibSurface::SourceRect(const CDib& dib, CPoint ptSrc, CSize szSrc)
{
    CSize size = dib.GetDimensions();
    int nTop = size.cy - ptSrc.y - szSrc.cy;
    return QRect(ptSrc.x, nTop, szSrc.cx, szSrc.cy);
}

int CQtDibSurface::SetDIBitsToDevice(CRect rcDest, CPoint ptSrc, const CDib& dib)
{
    QImage image = DibToQImage(dib);
    if (image.isNull() || rcDest.Width() <= 0 || rcDest.Height() <= 0)
        return 0;
    QRect rcSource = SourceRect(dib, ptSrc, {rcDest.Width(), rcDest.Height()}).intersected(image.rect());
    if (rcSource.isEmpty())
        return 0;
    // Rows and columns that fall outside the picture are left out, not stretched.
    int nDx = rcSource.left() - ptSrc.x;
    int nDy = rcSource.top() - (dib.GetDimensions().cy - ptSrc.y - rcDest.Height());
    if (m_bPrinting) {
        DrawInBlocks(QRectF(rcDest.left + nDx, rcDest.top + nDy, rcSource.width(), rcSource.height()),
                     image.copy(rcSource));
        return rcSource.height();
    }
    m_Painter.drawImage(QPoint(rcDest.left + nDx, rcDest.top + nDy), image, rcSource);
    return rcSource.height();
}

int CQtDibSurface::StretchDIBits(CRect rcDest, CPoint ptSrc, CSize szSrc, const CDib& dib)
{
    QImage image = DibToQImage(dib);
    if (image.isNull() || rcDest.Width() <= 0 || rcDest.Height() <= 0 || szSrc.cx <= 0 || szSrc.cy <= 0)
        return 0;
    QRect rcSource = SourceRect(dib, ptSrc, szSrc);
    if (!image.rect().contains(rcSource))
        return 0;
    if (m_bPrinting) {
        DrawInBlocks(QRectF(rcDest.left, rcDest.top, rcDest.Width(), rcDest.Height()), image.copy(rcSource));
        return szSrc.cy;
    }
    m_Painter.save();
    m_Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    m_Painter.drawImage(QRect(rcDest.left, rcDest.top, rcDest.Width(), rcDest.Height()), image, rcSource);
    m_Painter.restore();
    return szSrc.cy;
}
