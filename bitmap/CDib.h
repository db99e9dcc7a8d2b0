#pragma once
// One picture in memory as a Windows device-independent bitmap: a 40-byte info header followed
// by the colour table (the header block), and the pixel rows stored bottom-up, each padded to a
// multiple of 4 bytes (the pixel block). Pictures the program makes are 24-bit; 1-, 4- and
// 8-bit pictures (and other depths) arrive from files or the clipboard.
//
// Files and clipboard data are checked before anything is kept: whatever they claim, no read or
// pixel access goes outside the header block, the colour table or the pixel block.
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <vector>

#include "bitmap/DibPalette.h"
#include "bitmap/DibTypes.h"
#include "common/Result.h"

class IDibSurface;
class IDibClipboard;

// The English messages of the picture class: the texts its results carry.
inline constexpr const char* DIB_MSG_READ_HEADER = "Error reading header";
inline constexpr const char* DIB_MSG_INVALID = "Invalid bitmap file";
inline constexpr const char* DIB_MSG_READ_EXCEPTION = "Error reading file (exception thrown)";
inline constexpr const char* DIB_MSG_WRITE_ERROR = "Write error";
inline constexpr const char* DIB_MSG_DEPTH = "CDib only supports 1, 8 and 24 bits per pixel";
inline constexpr const char* DIB_MSG_GETPIXEL_DEPTH = "GetPixel: only implemented for 1,8 and 24 bit per pixels";
inline constexpr const char* DIB_MSG_SETPIXEL_DEPTH = "SetPixel: only implemented for 1,8 and 24 bit per pixels";

// Sizes of the fixed parts of a bitmap file.
inline constexpr uint32_t DIB_FILE_HEADER_SIZE = 14;
inline constexpr uint32_t DIB_INFO_HEADER_SIZE = 40;
// The largest pixel block a file or the clipboard may ask for (and Create may make) unless
// SetDibImageLimit says otherwise.
inline constexpr uint64_t DIB_MAX_IMAGE_BYTES = 256u * 1024u * 1024u;
uint64_t DibImageLimit();
// The largest width and height a picture may have, whatever its pixel block holds (a picture
// 0 pixels wide and a billion rows high has no pixel block to speak of, but no use either).
inline constexpr int32_t DIB_MAX_DIMENSION = 1 << 18;
// Sets the limit (0: back to DIB_MAX_IMAGE_BYTES); returns the previous one. For tools that
// must stay small, such as the fuzz targets.
uint64_t SetDibImageLimit(uint64_t nBytes);
// GetPixel's answer where there is no pixel.
inline constexpr uint32_t DIB_NO_PIXEL = 0xFFFFFFFFu;

class CDib {
public:
    CDib();
    ~CDib();
    CDib(const CDib&) = delete;
    CDib& operator=(const CDib&) = delete;

    // Frees everything; the picture is empty afterwards.
    void Empty();
    // A new 24-bit picture, every pixel white. False (and empty) only when the size is negative
    // or beyond DIB_MAX_IMAGE_BYTES, or the memory cannot be had.
    bool Create(int32_t nWidth, int32_t nHeight);
    // m_nColors from biClrUsed, else from the bit count (1 → 2, 4 → 16, 8 → 256, 24 → 0);
    // other depths keep m_nColors, and the result (still Ok) carries DIB_MSG_DEPTH to show.
    CResult ComputeColorCount(uint16_t nBitCount);
    // m_dwImageSize, m_pColorTable and m_nRowBytes from the held header.
    void ComputeSizes();
    // (Re)builds the palette from the colour table; false when there is no colour table.
    bool MakePalette();

    // Loading and storing return what went wrong with its message (ReadHeader:
    // DIB_MSG_READ_HEADER, Invalid: DIB_MSG_INVALID, ReadFailed: DIB_MSG_READ_EXCEPTION,
    // WriteFailed: DIB_MSG_WRITE_ERROR); the caller shows it. A depth without a colour count
    // loads, and its result carries DIB_MSG_DEPTH (ComputeColorCount).
    //
    // Loads a bitmap file from the stream's position. A failed load leaves the picture empty.
    CResult Read(std::istream& file);
    // Stores the picture as a bitmap file at the stream's position; an empty picture is a
    // write error.
    CResult Write(std::ostream& file) const;
    // Opens the file, then Read; a file that cannot be opened is a read failure.
    CResult ReadFile(const std::filesystem::path& path);
    // Replaces the file through a temporary beside it (WriteFileAtomically), so a failed save
    // leaves the old file whole.
    CResult WriteFile(const std::filesystem::path& path) const;

    // (biWidth, biHeight), or (0, 0) when empty.
    CSize GetDimensions() const;
    // biBitCount; 0 when empty.
    uint16_t GetBitCount() const;
    uint32_t GetImageSize() const { return m_dwImageSize; }
    // 40 + 4 × colour count: the info header and colour table as files and the clipboard hold them.
    uint32_t GetHeaderSize() const;
    bool IsEmpty() const { return m_pHeader == nullptr; }

    // (0, 0) is the top-left pixel. 24 bits: 0x00RRGGBB; 8 bits: colour index; 1 bit: 0 or 1.
    // DIB_NO_PIXEL outside the picture and on other depths (SetPixel then changes nothing);
    // CheckGetPixel and CheckSetPixel say whether the depth has pixel access, with the message
    // (DIB_MSG_GETPIXEL_DEPTH, DIB_MSG_SETPIXEL_DEPTH) where it has not. An empty picture has
    // no pixel to refuse.
    uint32_t GetPixel(CPoint pt) const;
    void SetPixel(CPoint pt, uint32_t nValue);
    CResult CheckGetPixel() const;
    CResult CheckSetPixel() const;

    // Draws the picture: empty → 0; a printer gets the picture at (200, 200) scaled by
    // 1300 / dpi; a destination of exactly the picture's size is an unscaled copy, any other
    // a scaled one. Returns the scan lines the surface reports.
    int Draw(IDibSurface& surface, CRect rcDest, CPoint ptSrc) const;

    // The clipboard is open; both close it on success and leave it open on failure. Neither
    // has a message of its own for a failure (the view has its own words for it).
    CResult CopyToClipboard(IDibClipboard& clipboard) const;
    // Fails (picture unchanged) when the clipboard holds no DIB or one that cannot be taken. A
    // picture of a depth without a colour count is taken, with DIB_MSG_DEPTH to show.
    CResult PasteFromClipboard(IDibClipboard& clipboard);

    // For surfaces and the clipboard: the header block (40-byte info header + colour table),
    // the pixel block (bottom-up rows GetRowBytes() apart), the palette (null without colour table).
    const uint8_t* GetHeaderBlock() const { return m_pHeader.get(); }
    const uint8_t* GetColorTable() const { return m_pColorTable; }
    // GetColorCount() entries of blue, green, red, reserved; MakePalette after changing them.
    uint8_t* GetColorTable() { return m_pColorTable; }
    const uint8_t* GetBits() const { return m_pBits.get(); }
    int32_t GetRowBytes() const { return m_nRowBytes; }
    int32_t GetColorCount() const { return m_nColors; }
    const CDibPalette* GetPalette() const { return m_hPalette.get(); }
    // The stored bytes of picture row y (0 is the top row), GetRowBytes() long; null outside
    // the picture. For picture-wide work that visits the rows itself instead of every pixel.
    const uint8_t* GetRowBits(int32_t y) const { return RowOf(y); }
    uint8_t* GetRowBits(int32_t y) { return RowOf(y); }

private:
    friend struct CDibLoader;

    std::unique_ptr<uint8_t[]> m_pHeader;      // info header + colour table; null when empty
    uint8_t* m_pColorTable = nullptr;          // m_pHeader + 40; null when empty
    std::unique_ptr<uint8_t[]> m_pBits;        // m_dwImageSize bytes; null when empty
    int32_t m_nRowBytes = 0;
    uint32_t m_dwImageSize = 0;
    int32_t m_nColors = 0;
    std::unique_ptr<CDibPalette> m_hPalette;
    uint32_t m_nHeaderBytes = 0;               // bytes held in m_pHeader

    uint8_t* RowOf(int32_t y) const;           // stored row of picture row y, or null
};
