#include "bitmap/DibScale.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "bitmap/CDib.h"
#include "bitmap/DibLayout.h"
#include "bitmap/LittleEndian.h"

namespace {

// One stored row enlarged across: pixels of nBits each, the leftmost in the most significant
// bits of the first byte for depths below 8.
void ScaleRow(const uint8_t* pSrc, int32_t nWidth, uint16_t nBits, int32_t nFactor, uint8_t* pDest)
{
    if (nBits % 8 == 0) {
        const size_t nPixelBytes = nBits / 8;
        for (int32_t x = 0; x < nWidth; ++x)
            for (int32_t k = 0; k < nFactor; ++k, pDest += nPixelBytes)
                std::memcpy(pDest, pSrc + size_t(x) * nPixelBytes, nPixelBytes);
        return;
    }
    const unsigned nMask = (1u << nBits) - 1;
    uint64_t nOutBit = 0;
    for (int32_t x = 0; x < nWidth; ++x) {
        const uint64_t nInBit = uint64_t(x) * nBits;
        const unsigned nValue = (pSrc[nInBit / 8] >> (8 - nBits - nInBit % 8)) & nMask;
        for (int32_t k = 0; k < nFactor; ++k, nOutBit += nBits)
            pDest[nOutBit / 8] |= static_cast<uint8_t>(nValue << (8 - nBits - nOutBit % 8));
    }
}

}  // namespace

CResult ScaleDib(const CDib& src, int32_t nFactor, CDib& out)
{
    if (src.IsEmpty() || nFactor < 1 || nFactor > DIB_MAX_SCALE)
        return CResult::Failure(EErrorKind::NotAvailable);
    const CSize size = src.GetDimensions();
    const uint16_t nBits = src.GetBitCount();
    const int64_t nWidth = int64_t(size.cx) * nFactor;
    const int64_t nHeight = int64_t(size.cy) * nFactor;
    const uint64_t nRowBytes = ((uint64_t(nBits) * uint64_t(nWidth) + 31) / 32) * 4;
    if (nWidth > DIB_MAX_DIMENSION || nHeight > DIB_MAX_DIMENSION || nRowBytes * uint64_t(nHeight) > DibImageLimit() ||
        (nBits % 8 != 0 && 8 % nBits != 0)) {
        return CResult::Failure(EErrorKind::TooBig, DIB_MSG_SCALE_TOO_BIG);
    }

    // The source's header with the new sizes, checked as any picture taken in is.
    std::vector<uint8_t> header(src.GetHeaderBlock(), src.GetHeaderBlock() + src.GetHeaderSize());
    PutLe32(header.data() + BI_OFS_WIDTH, uint32_t(nWidth));
    PutLe32(header.data() + BI_OFS_HEIGHT, uint32_t(nHeight));
    const uint32_t nImageSize = uint32_t(nRowBytes * uint64_t(nHeight));
    PutLe32(header.data() + BI_OFS_SIZEIMAGE, nImageSize);
    CDibLayout layout;
    if (!ParseDibLayout(header.data(), header.size(), layout) || layout.nRequiredBytes != nImageSize) {
        return CResult::Failure(EErrorKind::TooBig, DIB_MSG_SCALE_TOO_BIG);
    }
    std::unique_ptr<uint8_t[]> pBits;
    try {
        pBits = std::make_unique<uint8_t[]>(nImageSize);  // zeroed: padding and the bits ORed in
    } catch (const std::bad_alloc&) {
        return CResult::Failure(EErrorKind::TooBig, DIB_MSG_SCALE_TOO_BIG);
    }
    // Stored rows are bottom-up in both pictures, so stored row r comes from stored row r / factor.
    const uint8_t* pSrcBits = src.GetBits();
    for (int64_t r = 0; r < nHeight; ++r) {
        uint8_t* pDest = pBits.get() + size_t(r) * nRowBytes;
        if (r % nFactor == 0)
            ScaleRow(pSrcBits + size_t(r / nFactor) * size_t(src.GetRowBytes()), size.cx, nBits, nFactor, pDest);
        else
            std::memcpy(pDest, pDest - nRowBytes, nRowBytes);
    }
    CDibLoader::Adopt(out, layout, header.data() + layout.nColorTableOffset, std::move(pBits), nImageSize);
    CResult result = out.ComputeColorCount(out.GetBitCount());
    out.MakePalette();
    return result;
}
