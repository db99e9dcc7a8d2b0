#pragma once
// Both effects start from the picture as it was before the first of a run of the same effect:
// a snapshot is taken unless one of this kind is held for a picture of this size and depth, then the
// picture is restored from it.
#include <cstdint>

class CDib;
class CUndoSnapshot;

// False when no snapshot could be taken (no memory); the picture is then unchanged.
bool StartFromSnapshot(CDib& dib, CUndoSnapshot& undo, int32_t nKind);
