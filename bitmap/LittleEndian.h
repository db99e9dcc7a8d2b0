#pragma once
// Little-endian fields of bitmap headers, read and written byte by byte.
#include <cstdint>

inline uint16_t GetLe16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t GetLe32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int32_t GetLe32s(const uint8_t* p) { return static_cast<int32_t>(GetLe32(p)); }
inline void PutLe16(uint8_t* p, uint16_t n) {
    p[0] = uint8_t(n);
    p[1] = uint8_t(n >> 8);
}
inline void PutLe32(uint8_t* p, uint32_t n) {
    p[0] = uint8_t(n);
    p[1] = uint8_t(n >> 8);
    p[2] = uint8_t(n >> 16);
    p[3] = uint8_t(n >> 24);
}

// Offsets of the info header's fields.
enum : uint32_t {
    BI_OFS_SIZE = 0, BI_OFS_WIDTH = 4, BI_OFS_HEIGHT = 8, BI_OFS_PLANES = 12, BI_OFS_BITCOUNT = 14,
    BI_OFS_COMPRESSION = 16, BI_OFS_SIZEIMAGE = 20, BI_OFS_XPELS = 24, BI_OFS_YPELS = 28,
    BI_OFS_CLRUSED = 32, BI_OFS_CLRIMPORTANT = 36,
};
// Compression values of the info header.
enum : uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };
