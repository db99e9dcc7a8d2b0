#pragma once
// What CDib::Draw needs of a screen or a printer. The desktop program implements it with a
// QPainter; tests record the calls.
#include "bitmap/DibTypes.h"

class CDib;
class CDibPalette;

class IDibSurface {
public:
    virtual ~IDibSurface() = default;

    // True for a printer (and its preview): Draw then places and scales the picture itself.
    virtual bool IsPrinting() const = 0;
    // Dots per inch of the device, horizontally and vertically.
    virtual int GetLogPixelsX() const = 0;
    virtual int GetLogPixelsY() const = 0;
    // Selects a palette as the background palette (null: none) and returns the previous one.
    virtual const CDibPalette* SelectPalette(const CDibPalette* pPalette) = 0;
    // Copies the picture unscaled: rcDest.Width() x rcDest.Height() pixels starting at the
    // picture pixel ptSrc go to rcDest's top-left corner. Returns the number of scan lines
    // copied, 0 on failure. The rows of dib.GetBits() are bottom-up, dib.GetRowBytes() apart.
    virtual int SetDIBitsToDevice(CRect rcDest, CPoint ptSrc, const CDib& dib) = 0;
    // Copies szSrc pixels of the picture starting at ptSrc, scaled to fill rcDest (colour on
    // colour: no blending). Returns the number of scan lines copied, 0 on failure.
    virtual int StretchDIBits(CRect rcDest, CPoint ptSrc, CSize szSrc, const CDib& dib) = 0;
};
