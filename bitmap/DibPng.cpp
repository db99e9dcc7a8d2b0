// PNG files through libpng. libpng reports errors by longjmp: the functions that call setjmp
// keep every object with a destructor in their callers, so a jump skips only C frames and
// callbacks without such objects.
#include "bitmap/DibPng.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "bitmap/CDib.h"

namespace {

constexpr uint8_t PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
bool g_bPngChecksums = true;

// What one read or write has to tell after a jump.
struct CPngState {
    const uint8_t* pData = nullptr;  // reading: the file in memory
    size_t nSize = 0;
    size_t nPos = 0;
    std::string* pOut = nullptr;     // writing: the file's bytes
    bool bTruncated = false;
    bool bTooBig = false;
    char szError[160] = {};
};

void OnPngError(png_structp png, png_const_charp pszText)
{
    auto* pState = static_cast<CPngState*>(png_get_error_ptr(png));
    std::snprintf(pState->szError, sizeof pState->szError, "%s", pszText ? pszText : "");
    png_longjmp(png, 1);
}

// Warnings (a damaged ancillary chunk, an odd colour profile) do not stop a picture.
void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep pDest, size_t nBytes)
{
    auto* pState = static_cast<CPngState*>(png_get_io_ptr(png));
    if (nBytes > pState->nSize - pState->nPos) {
        pState->bTruncated = true;
        png_error(png, "the file ends early");
    }
    std::memcpy(pDest, pState->pData + pState->nPos, nBytes);
    pState->nPos += nBytes;
}

void AppendToString(png_structp png, png_bytep pData, size_t nBytes)
{
    auto* pState = static_cast<CPngState*>(png_get_io_ptr(png));
    bool bOk = true;
    try {
        pState->pOut->append(reinterpret_cast<const char*>(pData), nBytes);
    } catch (const std::bad_alloc&) {
        bOk = false;
    }
    if (!bOk)
        png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

// Reads the whole file into dib, which the caller empties on failure. rows and alpha (the
// pixels with their alpha, for files that have any) are the caller's, so that a jump out of
// libpng leaves nothing to destroy here.
bool ReadWithLibpng(png_structp png, png_infop info, CPngState& state, CDib& dib, std::vector<png_bytep>& rows,
                    std::vector<uint8_t>& alpha)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_read_fn(png, &state, ReadFromMemory);
    if (!g_bPngChecksums) {
        png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    }
    // Sizes are judged below against what a picture may hold, with their own message.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_read_info(png, info);

    const png_uint_32 nWidth = png_get_image_width(png, info);
    const png_uint_32 nHeight = png_get_image_height(png, info);
    const uint64_t nRowBytes = (uint64_t(nWidth) * 3 + 3) & ~uint64_t(3);
    if (nWidth > uint32_t(DIB_MAX_DIMENSION) || nHeight > uint32_t(DIB_MAX_DIMENSION) ||
        nRowBytes * nHeight > DibImageLimit()) {
        std::snprintf(state.szError, sizeof state.szError, "%u x %u pixels", unsigned(nWidth), unsigned(nHeight));
        state.bTooBig = true;
        return false;
    }

    // Whatever the file holds becomes 8-bit blue, green, red, and alpha where it has any.
    const bool bAlpha =
        (png_get_color_type(png, info) & PNG_COLOR_MASK_ALPHA) != 0 || png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const size_t nChannels = bAlpha ? 4 : 3;
    if (png_get_channels(png, info) != nChannels || png_get_bit_depth(png, info) != 8 ||
        png_get_rowbytes(png, info) != size_t(nWidth) * nChannels)
        png_error(png, "unexpected pixel layout");

    if (!dib.Create(int32_t(nWidth), int32_t(nHeight))) {
        state.bTooBig = true;
        std::snprintf(state.szError, sizeof state.szError, "%u x %u pixels", unsigned(nWidth), unsigned(nHeight));
        return false;
    }
    rows.resize(nHeight);
    if (bAlpha)
        alpha.resize(size_t(nWidth) * nHeight * 4);
    for (png_uint_32 y = 0; y < nHeight; ++y)
        rows[y] = bAlpha ? alpha.data() + size_t(y) * nWidth * 4 : dib.GetRowBits(int32_t(y));
    png_read_image(png, rows.data());
    // A file cut after its pixels still misses its end.
    png_read_end(png, nullptr);
    // Transparent pixels lie on white paper, mixed by their stored values.
    for (png_uint_32 y = 0; bAlpha && y < nHeight; ++y) {
        const uint8_t* pIn = rows[y];
        uint8_t* pOut = dib.GetRowBits(int32_t(y));
        for (png_uint_32 x = 0; x < nWidth; ++x, pIn += 4, pOut += 3)
            for (int c = 0; c < 3; ++c)
                pOut[c] = uint8_t((pIn[c] * pIn[3] + 255 * (255 - pIn[3]) + 127) / 255);
    }
    return true;
}

bool WriteWithLibpng(png_structp png, png_infop info, CPngState& state, const CDib& dib,
                     const std::vector<png_color>& palette, std::vector<png_bytep>& rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, &state, AppendToString, FlushNothing);
    const CSize size = dib.GetDimensions();
    const uint16_t nBits = dib.GetBitCount();
    png_set_IHDR(png, info, png_uint_32(size.cx), png_uint_32(size.cy), nBits == 24 ? 8 : nBits,
                 palette.empty() ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_write_info(png, info);
    if (nBits == 24)
        png_set_bgr(png);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    return true;
}

}  // namespace

bool SetPngChecksums(bool bCheck)
{
    const bool bPrevious = g_bPngChecksums;
    g_bPngChecksums = bCheck;
    return bPrevious;
}

bool IsPngSignature(const uint8_t* pData, size_t nSize)
{
    return pData != nullptr && nSize >= sizeof PNG_SIGNATURE && std::memcmp(pData, PNG_SIGNATURE, sizeof PNG_SIGNATURE) == 0;
}

CResult ReadPng(CDib& dib, const uint8_t* pData, size_t nSize)
{
    dib.Empty();
    CPngState state;
    state.pData = pData;
    state.nSize = pData ? nSize : 0;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool bOk = false;
    try {
        std::vector<png_bytep> rows;
        std::vector<uint8_t> alpha;
        bOk = info != nullptr && ReadWithLibpng(png, info, state, dib, rows, alpha);
    } catch (const std::bad_alloc&) {
        bOk = false;
        std::snprintf(state.szError, sizeof state.szError, "out of memory");
    }
    png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
    if (bOk)
        return CResult::Success();
    dib.Empty();
    if (state.bTruncated)
        return CResult::Failure(EErrorKind::Truncated, PNG_MSG_TRUNCATED);
    if (state.bTooBig)
        return CResult::Failure(EErrorKind::TooBig, std::string(PNG_MSG_TOO_BIG) + ": " + state.szError);
    return CResult::Failure(EErrorKind::Invalid,
                            std::string(PNG_MSG_INVALID) + (state.szError[0] ? std::string(": ") + state.szError : ""));
}

CResult EncodePng(const CDib& dib, std::string& out)
{
    const CSize size = dib.GetDimensions();
    if (dib.IsEmpty() || size.cx <= 0 || size.cy <= 0) {
        return CResult::Failure(EErrorKind::EmptyPicture, PNG_MSG_EMPTY);
    }
    const uint16_t nBits = dib.GetBitCount();
    if (nBits != 1 && nBits != 4 && nBits != 8 && nBits != 24) {
        return CResult::Failure(EErrorKind::UnsupportedDepth, PNG_MSG_DEPTH);
    }
    std::string bytes;
    std::vector<png_color> palette;
    std::vector<png_bytep> rows;
    try {
        if (nBits != 24) {
            // Every index the pixels can hold has an entry; those beyond the colour table are black.
            palette.resize(size_t(1) << nBits, png_color{0, 0, 0});
            const uint8_t* pTable = dib.GetColorTable();
            const size_t nEntries = std::min(palette.size(), size_t(std::max(dib.GetColorCount(), 0)));
            for (size_t i = 0; i < nEntries; ++i)
                palette[i] = png_color{pTable[4 * i + 2], pTable[4 * i + 1], pTable[4 * i]};
        }
        rows.resize(size_t(size.cy));
        for (int32_t y = 0; y < size.cy; ++y)
            rows[size_t(y)] = const_cast<png_bytep>(dib.GetRowBits(y));
        bytes.reserve(size_t(dib.GetImageSize()) / 4 + 1024);
    } catch (const std::bad_alloc&) {
        return CResult::Failure(EErrorKind::WriteFailed, DIB_MSG_WRITE_ERROR);
    }
    if (std::find(rows.begin(), rows.end(), nullptr) != rows.end()) {
        return CResult::Failure(EErrorKind::WriteFailed, DIB_MSG_WRITE_ERROR);
    }

    CPngState state;
    state.pOut = &bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool bOk = info != nullptr && WriteWithLibpng(png, info, state, dib, palette, rows);
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    if (!bOk) {
        return CResult::Failure(EErrorKind::WriteFailed, DIB_MSG_WRITE_ERROR);
    }
    out = std::move(bytes);
    return CResult::Success();
}
