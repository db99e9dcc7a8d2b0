#pragma once
// What both picture fuzz targets do with a picture they could take: read every pixel (or,
// for very large pictures, every pixel of a spread of rows and the borders), write a pixel
// back, store it, and check that storing and loading again gives the same bytes.
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

#include "bitmap/CDib.h"

// The picture class shows nothing itself (its results carry the messages), so the targets
// have only the limit to set.
inline void SetUpFuzzLimits() {
    static bool bDone = false;
    if (!bDone) {
        // Small pictures keep every execution fast; the checks are the same at any limit.
        SetDibImageLimit(256u * 1024u);
        bDone = true;
    }
}

inline void ExercisePicture(CDib& dib) {
    const CSize size = dib.GetDimensions();
    volatile uint32_t nSink = 0;
    // Every pixel of pictures up to 65536 pixels; of larger ones a spread of rows and
    // columns that includes the first and the last of each.
    const bool bAll = int64_t(size.cx) * size.cy <= (1 << 16);
    const int32_t nRowStep = bAll ? 1 : std::max(1, size.cy / 64);
    const int32_t nColStep = bAll ? 1 : std::max(1, size.cx / 4096);
    auto visitRow = [&](int32_t y) {
        for (int32_t x = 0; x < size.cx; x += nColStep)
            nSink = nSink + dib.GetPixel({x, y});
        nSink = nSink + dib.GetPixel({size.cx - 1, y});
    };
    for (int32_t y = 0; y < size.cy; y += nRowStep)
        visitRow(y);
    if (size.cy > 0)
        visitRow(size.cy - 1);
    // Around and beyond the picture.
    for (CPoint pt : {CPoint{-1, 0}, CPoint{0, -1}, CPoint{size.cx, 0}, CPoint{0, size.cy}, CPoint{size.cx - 1, 0},
                      CPoint{0, size.cy - 1}, CPoint{size.cx - 1, size.cy - 1}})
        nSink = nSink + dib.GetPixel(pt);
    if (size.cx > 0 && size.cy > 0) {
        const CPoint last{size.cx - 1, 0};
        dib.SetPixel(last, dib.GetPixel(last));
    }

    std::ostringstream first;
    if (!dib.Write(first).Ok())
        return;  // an empty picture cannot be stored
    CDib again;
    std::istringstream in(first.str());
    if (!again.Read(in).Ok())
        std::abort();  // what we stored we must be able to load
    std::ostringstream second;
    (void)again.Write(second);  // compared below
    if (first.str() != second.str())
        std::abort();  // loading a stored picture must give it back unchanged
}
