// Exchanging the picture with the clipboard in the CF_DIB layout.
#include <cstring>
#include <new>

#include "bitmap/CDib.h"
#include "bitmap/DibClipboard.h"
#include "bitmap/DibLayout.h"
#include "common/MessageSink.h"

bool CDib::CopyToClipboard(IDibClipboard& clipboard) const {
    if (IsEmpty())
        return false;
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size_t(GetHeaderSize()) + m_dwImageSize);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::memcpy(bytes.data(), m_pHeader.get(), GetHeaderSize());
    if (m_dwImageSize != 0)
        std::memcpy(bytes.data() + GetHeaderSize(), m_pBits.get(), m_dwImageSize);
    clipboard.EmptyAndSetDib(std::move(bytes));
    clipboard.Close();
    return true;
}

bool CDib::PasteFromClipboard(IDibClipboard& clipboard) {
    std::vector<uint8_t> bytes;
    if (!clipboard.GetDib(bytes))
        return false;
    // A clipboard buffer that is short or whose header lies is not taken; the picture stays.
    CDibLayout layout;
    if (!ParseDibLayout(bytes.data(), bytes.size(), layout))
        return false;
    const size_t nPixels = bytes.size() - layout.nHeaderEnd;
    if (nPixels < layout.nRequiredBytes)
        return false;
    const uint32_t nBlockSize = ChoosePixelBlockSize(layout, nPixels);
    try {
        CDibLoader::Take(*this, layout, bytes.data() + layout.nColorTableOffset, bytes.data() + layout.nHeaderEnd,
                         nPixels, nBlockSize);
    } catch (const std::bad_alloc&) {
        return false;  // nothing was replaced
    }
    ComputeColorCount(GetBitCount());
    MakePalette();
    clipboard.Close();
    return true;
}
