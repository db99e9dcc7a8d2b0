#pragma once
// Draws a CDib with a QPainter: the screen, the printer and the print preview. The bottom-up
// rows become a QImage (with the colour table for pictures that have one); the unscaled copy
// puts pixel for pixel, the scaled one stretches colour on colour without blending.
#include <QImage>
#include <QRectF>

#include "bitmap/DibSurface.h"

class QPainter;

// The picture as a top-down QImage: 24-bit as RGB, 1-, 4- and 8-bit as indexed with the colour
// table, 16- and 32-bit as RGB. A null image when the picture is empty, of a depth without a
// meaning here, or its pixel block is shorter than its rows.
QImage DibToQImage(const CDib& dib);

class CQtDibSurface : public IDibSurface {
public:
    // bPrinting: a printer or preview page of nDpiX × nDpiY dots per inch.
    CQtDibSurface(QPainter& painter, bool bPrinting, int nDpiX, int nDpiY);

    bool IsPrinting() const override { return m_bPrinting; }
    int GetLogPixelsX() const override { return m_nDpiX; }
    int GetLogPixelsY() const override { return m_nDpiY; }
    const CDibPalette* SelectPalette(const CDibPalette* pPalette) override;
    int SetDIBitsToDevice(CRect rcDest, CPoint ptSrc, const CDib& dib) override;
    int StretchDIBits(CRect rcDest, CPoint ptSrc, CSize szSrc, const CDib& dib) override;

private:
    // A printer: the image drawn into rcDest (logical units), every pixel an even block of
    // whole device pixels, without smoothing and without lossy compression.
    void DrawInBlocks(const QRectF& rcDest, const QImage& image);
    // Source rectangle in top-down picture rows for a source point given, as device-independent
    // bitmaps count it, from the bottom row.
    static QRect SourceRect(const CDib& dib, CPoint ptSrc, CSize szSrc);

    QPainter& m_Painter;
    bool m_bPrinting;
    int m_nDpiX;
    int m_nDpiY;
    const CDibPalette* m_pPalette = nullptr;
};
