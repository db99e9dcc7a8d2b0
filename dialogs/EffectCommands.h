#pragma once
// The view's command handlers for the two effects, widget side: ask for the settings in a
// modal dialog, then run the effect on the document's picture with its undo snapshot.
#include <cstdint>
#include <functional>
#include <memory>

class QImage;

class QWidget;
class CDib;
class CUndoSnapshot;
class CSoftenProgressDlg;
struct CSoftenSettings;
struct CResult;

// "Färben": the depth check, the colouring dialog with the view's last choice, the colouring.
// Returns true when the picture changed; the view then marks the document modified and
// updates all its views. Cancel changes nothing, the choice included.
bool RunColorizeCommand(QWidget* pParent, CDib& dib, CUndoSnapshot& undo, int32_t& nColorChoice);

// "Palette": the depth check, the palette dialog with the window's last choice and the picture
// as the palette starts from (before the first of a run of palettes), the palette laid on with
// its undo snapshot. fnImage turns a picture into an image for the dialog's preview. Returns
// true when the picture changed. Cancel changes nothing, the choice included.
bool RunPaletteCommand(QWidget* pParent, CDib& dib, CUndoSnapshot& undo, int32_t& nChoice,
                       const std::function<QImage(const CDib&)>& fnImage);

// "Weichzeichnen": the depth check, the settings dialog with the view's settings, the passes
// with the progress window. Returns true when the picture may have changed: after the passes,
// and also after "Kein Speicher", which leaves the picture as restored from the snapshot (it
// must then be shown as it is). Cancel changes nothing.
bool RunSoftenCommand(QWidget* pParent, CDib& dib, CUndoSnapshot& undo, CSoftenSettings& settings);

// The pieces of the softening command that can fail, replaceable for tests: the passes
// themselves and the making of the progress window (null: it could not be made).
using SoftenApplyFn = std::function<CResult(CDib&, CUndoSnapshot&, const CSoftenSettings&,
                                            const std::function<void(int nPercent)>&)>;
using ProgressWindowFactory = std::function<std::unique_ptr<CSoftenProgressDlg>()>;

bool RunSoftenCommandWith(QWidget* pParent, CDib& dib, CUndoSnapshot& undo, CSoftenSettings& settings,
                          const SoftenApplyFn& fnApply, const ProgressWindowFactory& fnMakeProgress);
