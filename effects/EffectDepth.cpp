#include "effects/EffectDepth.h"

#include "bitmap/CDib.h"

bool IsEffectDepthSupported(const CDib& dib) {
    if (dib.IsEmpty())
        return false;
    const uint16_t nBits = dib.GetBitCount();
    return nBits == 1 || nBits == 8 || nBits == 24;
}
