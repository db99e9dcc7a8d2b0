#pragma once
// The view's command handlers for the two effects, widget side: ask for the settings in a
// modal dialog, then run the effect on the document's picture with its undo snapshot.
#include <cstdint>

class QWidget;
class CDib;
class CUndoSnapshot;
struct CSoftenSettings;

// "Färben": the depth check, the colouring dialog with the view's last choice, the colouring.
// Returns true when the picture changed; the view then marks the document modified and
// updates all its views.
bool RunColorizeCommand(QWidget* pParent, CDib& dib, CUndoSnapshot& undo, int32_t& nColorChoice);

// "Weichzeichnen": the depth check, the settings dialog with the view's settings, the passes
// with the progress window. Returns true when the picture changed (also after "Kein Speicher",
// which leaves the picture as restored from the snapshot).
bool RunSoftenCommand(QWidget* pParent, CDib& dib, CUndoSnapshot& undo, CSoftenSettings& settings);
