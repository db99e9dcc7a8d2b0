#pragma once
// Enlarging a picture by a whole factor, nearest neighbour: every pixel becomes a square block
// of factor × factor pixels of the same value. The depth, colour table and resolution stay.
#include <cstdint>

#include "common/Result.h"

class CDib;

inline constexpr int32_t DIB_MAX_SCALE = 16;
inline constexpr const char* DIB_MSG_SCALE_TOO_BIG = "The scaled picture would be too big";

// out becomes src enlarged by nFactor (1 to DIB_MAX_SCALE). Fails with TooBig and
// DIB_MSG_SCALE_TOO_BIG when the result would pass DIB_MAX_DIMENSION or DibImageLimit(), with
// NotAvailable and no message for an empty picture or a factor out of range; out is then
// unchanged. A depth without a colour count is scaled, with DIB_MSG_DEPTH to show.
CResult ScaleDib(const CDib& src, int32_t nFactor, CDib& out);
