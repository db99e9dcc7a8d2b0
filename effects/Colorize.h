#pragma once
// Colouring: the picture's grey levels are stretched to 0 … 255 and laid onto one of seven
// colour ramps; the brightest level may instead become white or the pale green of the console.
// The choice is colour index (0 … 6) + 16 × brightest index (0 … 2).
#include <cstdint>

#include "effects/EffectDepth.h"

class CDib;
class CUndoSnapshot;

// The pale green of the console's own screen, 0x00RRGGBB.
inline constexpr uint32_t COLORIZE_ORIGINAL_GB = 0xAAFFCC;

// (blue + green + red) / 3 of a pixel value.
uint32_t GreyLevel(uint32_t nValue);
// The pass-4 value of a level e for a choice; bBrightest when e is the highest level.
uint32_t ColorizeValue(int32_t nChoice, uint32_t e, bool bBrightest);
// The four passes on the picture (no depth check, no snapshot). Pictures of other depths than
// 8 and 24 bits are left as they are (a 1-bit picture has nothing a ramp could change).
void ColorizeDib(CDib& dib, int32_t nChoice);
// The colouring command after the dialog's OK: a snapshot of kind UNDO_COLORIZE unless one is
// held, then the picture restored from it, then coloured. For a depth other than 1, 8, 24
// nothing changes and the result is CheckEffectDepth's refusal.
CResult ApplyColorize(CDib& dib, CUndoSnapshot& undo, int32_t nChoice);
