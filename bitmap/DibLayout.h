#pragma once
// The checks every foreign picture (file or clipboard) passes before CDib keeps it: the info
// header is read as far as it can be trusted and turned into the plain 40-byte header CDib
// holds, bottom-up, uncompressed, with the colour table directly behind it.
//
// Taken: info headers of 40 bytes and longer (the 108- and 124-byte versions that Qt and GIMP
// write: the colour table then lies behind the longer header), top-down rows (negative height;
// turned bottom-up), colour masks that mean plain 16- or 32-bit pixels (5-5-5 or 8-8-8).
// Refused: headers shorter than 40 bytes, negative widths, widths or heights beyond
// DIB_MAX_DIMENSION, compressed pixels (RLE, JPEG, PNG),
// other colour masks, a colour table that does not fit in front of the pixels, and pixel blocks
// beyond DibImageLimit().
#include <cstddef>
#include <cstdint>
#include <memory>

struct CDibLayout {
    int32_t nWidth = 0;
    int32_t nHeight = 0;             // always >= 0
    bool bTopDown = false;           // the source rows are stored top-down
    uint16_t nBitCount = 0;
    bool bDepthKnown = false;        // 1, 4, 8, 24 bits, or biClrUsed given: no depth message
    uint32_t nColors = 0;            // colour-table entries
    size_t nColorTableOffset = 0;    // where the colour table starts in the source header
    size_t nHeaderEnd = 0;           // end of info header, masks and colour table in the source
    uint32_t nRowBytes = 0;
    uint32_t nRequiredBytes = 0;     // rows × height: what pixel access needs
    uint32_t nDeclaredBytes = 0;     // biSizeImage, or the required size when that is 0
    uint8_t header[40] = {};         // the header CDib will hold (biSizeImage fixed later)
};

// Checks the info header and colour table at p (nAvail bytes of header data). False: refuse.
bool ParseDibLayout(const uint8_t* p, size_t nAvail, CDibLayout& layout);

// The pixel block size for the pixel bytes that are present: at least the required size, the
// declared size where the source holds it. Also fixes biSizeImage in layout.header when it was
// non-zero and differs from the result.
uint32_t ChoosePixelBlockSize(CDibLayout& layout, uint64_t nPresent);

class CDib;

// Takes a checked layout, its colour table and the pixel bytes present into the picture,
// replacing what it held. Pixels the source does not hold (a short file) are completed with
// zero bytes; top-down rows are turned bottom-up. Throws std::bad_alloc before anything is
// replaced when the memory cannot be had.
struct CDibLoader {
    static void Take(CDib& dib, const CDibLayout& layout, const uint8_t* pColorTable, const uint8_t* pPixels,
                     size_t nPixels, uint32_t nBlockSize);
    // The same for a pixel block that already holds the pixels as the source stores them
    // (completed with zero bytes up to nBlockSize), so a large picture is never copied.
    static void Adopt(CDib& dib, const CDibLayout& layout, const uint8_t* pColorTable,
                      std::unique_ptr<uint8_t[]> pBits, uint32_t nBlockSize);
};
