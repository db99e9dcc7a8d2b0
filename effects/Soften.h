#pragma once
// Softening: every channel of every pixel becomes a weighted average of the pixel and its eight
// neighbours, repeated for a number of passes.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "bitmap/DibTypes.h"
#include "effects/EffectDepth.h"
#include "effects/SoftenRows.h"

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

CSoftenWeights SoftenWeights(const CSoftenSettings& s);

// The ways of computing a row: all give the same bytes, the later ones faster.
enum class SoftenPath { Plain, Sse2, Avx2 };
// The paths this processor can run, plainest first; the last one is the fastest.
std::vector<SoftenPath> SoftenPathsAvailable();
const char* SoftenPathName(SoftenPath path);

// How the passes are run: the row path (none: the fastest this processor has) and the number
// of threads that share the rows of a pass (0: one per processor core; small pictures use
// fewer, as a thread costs more than it saves there).
struct CSoftenRun {
    std::optional<SoftenPath> path;
    int nThreads = 0;
};

// What a softening returns: Ok when the passes ran; NoMemory with SOFTEN_MSG_NO_MEMORY when
// there is no work area (the picture is as restored from the snapshot); UnsupportedDepth with
// EFFECT_MSG_DEPTH for a depth other than 1, 8 or 24 bits (nothing changed).

using SoftenProgressFn = std::function<void(int nPercent)>;

// The bytes of work area the passes over this picture take with these threads: a few rows per
// thread (the picture as it was at the start of a pass is needed only around the row being
// computed).
uint64_t SoftenWorkBytes(const CDib& dib, const CSoftenRun& run = {});

// The passes alone on the picture as it is, with no snapshot (where nothing can be undone, as
// in the CLI). fnProgress (may be empty) is called at the start of each pass i with
// (i × 100) / passes + 1, on the calling thread.
CResult SoftenDib(CDib& dib, const CSoftenSettings& s, const SoftenProgressFn& fnProgress,
                  const CSoftenRun& run = {}, uint64_t nMaxWorkBytes = SOFTEN_MAX_WORK_BYTES);

// The softening command after the dialog's OK: a snapshot of kind UNDO_SOFTEN unless one is
// held, the picture restored from it, then s.m_nSoftPasses passes.
CResult ApplySoften(CDib& dib, CUndoSnapshot& undo, const CSoftenSettings& s,
                    const SoftenProgressFn& fnProgress);
// The same with a work area of at most nMaxWorkBytes (larger: NoMemory).
CResult ApplySoftenWithin(CDib& dib, CUndoSnapshot& undo, const CSoftenSettings& s,
                          const SoftenProgressFn& fnProgress, uint64_t nMaxWorkBytes);
