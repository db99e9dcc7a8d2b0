#pragma once
// Small value types of the picture code: points, sizes and rectangles in pixels or device units.
#include <cstdint>

struct CPoint {
    int32_t x = 0, y = 0;
    friend bool operator==(const CPoint&, const CPoint&) = default;
};

struct CSize {
    int32_t cx = 0, cy = 0;
    friend bool operator==(const CSize&, const CSize&) = default;
};

struct CRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    friend bool operator==(const CRect&, const CRect&) = default;
};
