#include "effects/EffectSnapshot.h"

#include "bitmap/CDib.h"
#include "effects/UndoSnapshot.h"

bool StartFromSnapshot(CDib& dib, CUndoSnapshot& undo, int32_t nKind) {
    // A snapshot of another size belongs to a picture that was replaced (a paste in between):
    // it cannot be restored onto this one, so a fresh one is taken.
    if (undo.GetKind() != nKind || !undo.Fits(dib)) {
        if (!undo.SaveUndo(dib, nKind))
            return false;
    }
    undo.RestoreUndo(dib);
    return true;
}
