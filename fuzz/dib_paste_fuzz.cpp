// Pasting arbitrary bytes from the clipboard as a DIB.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "DibFuzzSupport.h"
#include "bitmap/CDib.h"
#include "bitmap/DibClipboard.h"

namespace {

class CBytesClipboard : public IDibClipboard {
public:
    std::vector<uint8_t> m_Bytes;
    bool GetDib(std::vector<uint8_t>& bytes) override {
        bytes = m_Bytes;
        return true;
    }
    void EmptyAndSetDib(std::vector<uint8_t> bytes) override { m_Bytes = std::move(bytes); }
    void Close() override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    SetUpFuzzLimits();
    CBytesClipboard clip;
    clip.m_Bytes.assign(pData, pData + nSize);
    CDib dib;
    dib.Create(2, 2);
    if (!dib.PasteFromClipboard(clip).Ok()) {
        if (dib.GetDimensions() != CSize{2, 2})
            std::abort();  // a refused paste keeps the picture
        return 0;
    }
    ExercisePicture(dib);
    // Copy and paste again: the same header block and pixels.
    CBytesClipboard again;
    if (!dib.CopyToClipboard(again).Ok())
        std::abort();
    CDib back;
    if (!back.PasteFromClipboard(again).Ok() || back.GetHeaderSize() != dib.GetHeaderSize() ||
        back.GetImageSize() != dib.GetImageSize() ||
        std::memcmp(back.GetHeaderBlock(), dib.GetHeaderBlock(), dib.GetHeaderSize()) != 0 ||
        (dib.GetImageSize() != 0 && std::memcmp(back.GetBits(), dib.GetBits(), dib.GetImageSize()) != 0))
        std::abort();
    return 0;
}
