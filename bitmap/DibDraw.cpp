// Drawing the picture onto a screen or printer surface.
#include <climits>

#include "bitmap/CDib.h"
#include "bitmap/DibSurface.h"

namespace {

// Printers get the picture at (200, 200) in device units, one pixel to 1300 / dpi device pixels.
constexpr int32_t PRINT_MARGIN = 200;
constexpr double PRINT_UNITS_PER_INCH = 1300.0;

int32_t PrintedExtent(int32_t nPixels, int nDpi) {
    const double dExtent = double(nPixels) * PRINT_UNITS_PER_INCH / double(nDpi);
    const double dMax = double(INT32_MAX - PRINT_MARGIN);
    return PRINT_MARGIN + int32_t(dExtent < dMax ? dExtent : dMax);  // truncated toward zero
}

}  // namespace

int CDib::Draw(IDibSurface& surface, CRect rcDest, CPoint ptSrc) const {
    if (IsEmpty())
        return 0;
    const CDibPalette* pPrevious = nullptr;
    if (m_hPalette)
        pPrevious = surface.SelectPalette(m_hPalette.get());

    const CSize size = GetDimensions();
    int nResult = 0;
    bool bDrawable = true;
    if (surface.IsPrinting()) {
        const int nDpiX = surface.GetLogPixelsX();
        const int nDpiY = surface.GetLogPixelsY();
        if (nDpiX <= 0 || nDpiY <= 0) {
            bDrawable = false;  // a device without a resolution: nothing sensible to scale to
        } else {
            rcDest = CRect{PRINT_MARGIN, PRINT_MARGIN, PrintedExtent(size.cx, nDpiX), PrintedExtent(size.cy, nDpiY)};
        }
    }
    if (bDrawable) {
        const int64_t w = int64_t(rcDest.right) - rcDest.left;
        const int64_t h = int64_t(rcDest.bottom) - rcDest.top;
        if (w == size.cx && h == size.cy)
            nResult = surface.SetDIBitsToDevice(rcDest, ptSrc, *this);
        else
            nResult = surface.StretchDIBits(rcDest, ptSrc, size, *this);
    }
    if (pPrevious != nullptr)
        surface.SelectPalette(pPrevious);
    return nResult;
}
