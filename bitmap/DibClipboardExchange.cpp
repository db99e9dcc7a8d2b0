// Exchanging the picture with the clipboard in the CF_DIB layout.
#include <cstring>
#include <new>

#include "bitmap/CDib.h"
#include "bitmap/DibClipboard.h"
#include "bitmap/DibLayout.h"

CResult CDib::CopyToClipboard(IDibClipboard& clipboard) const {
    if (IsEmpty())
        return CResult::Failure(EErrorKind::EmptyPicture);
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size_t(GetHeaderSize()) + m_dwImageSize);
    } catch (const std::bad_alloc&) {
        return CResult::Failure(EErrorKind::NoMemory);
    }
    std::memcpy(bytes.data(), m_pHeader.get(), GetHeaderSize());
    if (m_dwImageSize != 0)
        std::memcpy(bytes.data() + GetHeaderSize(), m_pBits.get(), m_dwImageSize);
    clipboard.EmptyAndSetDib(std::move(bytes));
    clipboard.Close();
    return CResult::Success();
}

CResult CDib::PasteFromClipboard(IDibClipboard& clipboard) {
    std::vector<uint8_t> bytes;
    if (!clipboard.GetDib(bytes))
        return CResult::Failure(EErrorKind::NotAvailable);
    // A clipboard buffer that is short or whose header lies is not taken; the picture stays.
    CDibLayout layout;
    if (!ParseDibLayout(bytes.data(), bytes.size(), layout))
        return CResult::Failure(EErrorKind::Invalid);
    const size_t nPixels = bytes.size() - layout.nHeaderEnd;
    if (nPixels < layout.nRequiredBytes)
        return CResult::Failure(EErrorKind::Invalid);
    const uint32_t nBlockSize = ChoosePixelBlockSize(layout, nPixels);
    try {
        CDibLoader::Take(*this, layout, bytes.data() + layout.nColorTableOffset, bytes.data() + layout.nHeaderEnd,
                         nPixels, nBlockSize);
    } catch (const std::bad_alloc&) {
        return CResult::Failure(EErrorKind::NoMemory);  // nothing was replaced
    }
    CResult result = ComputeColorCount(GetBitCount());
    MakePalette();
    clipboard.Close();
    return result;
}
