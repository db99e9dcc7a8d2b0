// Loading a PNG file from arbitrary bytes: a picture it gives is exercised like any loaded
// one, and stored as PNG and loaded again gives back the same pixel bytes. The chunks' check
// sums are not checked here, so changed bytes reach the decoder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "DibFuzzSupport.h"
#include "bitmap/CDib.h"
#include "bitmap/DibPng.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    SetUpFuzzLimits();
    SetPngChecksums(false);
    CDib dib;
    if (!ReadPng(dib, pData, nSize).Ok()) {
        if (!dib.IsEmpty())
            std::abort();  // a failed load leaves the picture empty
        return 0;
    }
    if (dib.GetBitCount() != 24 || dib.GetColorCount() != 0)
        std::abort();  // every PNG becomes a 24-bit picture
    std::string png;
    if (!EncodePng(dib, png).Ok())
        std::abort();  // a picture read from PNG can be stored as PNG
    CDib again;
    if (!ReadPng(again, reinterpret_cast<const uint8_t*>(png.data()), png.size()).Ok() ||
        again.GetDimensions() != dib.GetDimensions() || again.GetImageSize() != dib.GetImageSize() ||
        std::memcmp(again.GetBits(), dib.GetBits(), dib.GetImageSize()) != 0)
        std::abort();
    ExercisePicture(dib);
    return 0;
}
