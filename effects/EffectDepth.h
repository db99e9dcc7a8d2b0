#pragma once
// Both effects work on 1-, 8- and 24-bit pictures only; they refuse others with this text.
#include "common/Result.h"

class CDib;

inline constexpr const char* EFFECT_MSG_DEPTH =
    "Dieses Bild wurde ausserhalb von Quillomat erzeugt\n"
    "Bitte erst in RGB Farben (24-Bit) oder in Pallettenfarben (256-Farben) konvertieren";

bool IsEffectDepthSupported(const CDib& dib);
// Ok for a depth the effects work on, else UnsupportedDepth with EFFECT_MSG_DEPTH.
CResult CheckEffectDepth(const CDib& dib);
