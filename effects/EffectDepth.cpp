#include "effects/EffectDepth.h"

#include "bitmap/CDib.h"

bool IsEffectDepthSupported(const CDib& dib) {
    if (dib.IsEmpty())
        return false;
    const uint16_t nBits = dib.GetBitCount();
    return nBits == 1 || nBits == 8 || nBits == 24;
}

CResult CheckEffectDepth(const CDib& dib) {
    return IsEffectDepthSupported(dib) ? CResult::Success()
                                       : CResult::Failure(EErrorKind::UnsupportedDepth, EFFECT_MSG_DEPTH);
}
