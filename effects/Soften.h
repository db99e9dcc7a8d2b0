#pragma once
// Softening: every channel of every pixel becomes a weighted average of the pixel and its eight
// neighbours, repeated for a number of passes.
#include <cstdint>
#include <functional>

#include "effects/EffectDepth.h"

class CDib;
class CUndoSnapshot;

inline constexpr const char* SOFTEN_MSG_NO_MEMORY = "Kein Speicher";
// The largest work area a softening allocates.
inline constexpr uint64_t SOFTEN_MAX_WORK_BYTES = 1024ull * 1024u * 1024u;

// The view's settings, as the settings dialog leaves them.
struct CSoftenSettings {
    int32_t m_nSoftCentre = 100;       // centre factor in hundredths (25 after the dialog's OK)
    int32_t m_nSoftSize = 8;           // edge weight in hundredths
    int32_t m_nSoftSizeEntered = 30;   // diagonal weight in 155ths
    int32_t m_nSoftPasses = 1;
};

struct CSoftenWeights {
    double wc = 0, wn = 0, wd = 0;
    double dDenominator = 0;  // wc + 4 × (wn + wd), the same for every pixel
};
CSoftenWeights SoftenWeights(const CSoftenSettings& s);

// One channel from the nine cells around it, in the order that decides the last bit.
uint8_t SoftenKernel(const CSoftenWeights& w, uint8_t UL, uint8_t U, uint8_t UR, uint8_t L, uint8_t C,
                     uint8_t R, uint8_t DL, uint8_t D, uint8_t DR);

enum class SoftenResult {
    Done,             // the passes ran
    NoMemory,         // no work area: the picture is as restored from the snapshot ("Kein Speicher")
    UnsupportedDepth, // not 1, 8 or 24 bits: nothing changed (the caller shows EFFECT_MSG_DEPTH)
};

// The softening command after the dialog's OK: a snapshot of kind UNDO_SOFTEN unless one is
// held, the picture restored from it, then s.m_nSoftPasses passes. fnProgress (may be empty)
// is called at the start of each pass i with (i × 100) / passes + 1.
SoftenResult ApplySoften(CDib& dib, CUndoSnapshot& undo, const CSoftenSettings& s,
                         const std::function<void(int nPercent)>& fnProgress);
// The same with a work area of at most nMaxWorkBytes (larger: NoMemory).
SoftenResult ApplySoftenWithin(CDib& dib, CUndoSnapshot& undo, const CSoftenSettings& s,
                               const std::function<void(int nPercent)>& fnProgress, uint64_t nMaxWorkBytes);
