// Loading a bitmap file from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "DibFuzzSupport.h"
#include "bitmap/CDib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    SetUpFuzzLimits();
    std::istringstream in(std::string(reinterpret_cast<const char*>(pData), nSize));
    CDib dib;
    if (dib.Read(in).Ok())
        ExercisePicture(dib);
    else if (!dib.IsEmpty())
        std::abort();  // a failed load leaves the picture empty
    return 0;
}
