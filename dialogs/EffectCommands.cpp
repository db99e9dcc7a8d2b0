#include "dialogs/EffectCommands.h"

#include "bitmap/CDib.h"
#include "bitmap/DibScale.h"
#include "common/MessageSink.h"
#include "dialogs/CColorizeDlg.h"
#include "dialogs/CPaletteDlg.h"
#include "dialogs/CSoftenDlg.h"
#include "dialogs/CSoftenProgressDlg.h"
#include "effects/Colorize.h"
#include "effects/Palette.h"
#include "effects/Soften.h"
#include "effects/UndoSnapshot.h"

#include <QApplication>

namespace {

constexpr const char* kMsgNoProgressWindow = "dlg Handle = NULL";

std::unique_ptr<CSoftenProgressDlg> MakeProgressWindow()
{
    // No owner: the window stands on its own beside the picture.
    auto pWnd = std::make_unique<CSoftenProgressDlg>(nullptr);
    pWnd->show();
    pWnd->raise();
    // The passes do not return to the event loop: get the window on screen now.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return pWnd;
}

} // namespace

bool RunColorizeCommand(QWidget*, CDib& dib, CUndoSnapshot& undo, int32_t& nColorChoice)
{
    if (!ShowResult(CheckEffectDepth(dib)))
        return false;
    CColorizeDlg dlg(nullptr);
    dlg.m_nChoice = nColorChoice;
    if (dlg.exec() != QDialog::Accepted)
        return false;
    if (!ShowResult(ApplyColorize(dib, undo, dlg.m_nChoice)))
        return false;
    nColorChoice = dlg.m_nChoice;
    return true;
}

bool RunPaletteCommand(QWidget*, CDib& dib, CUndoSnapshot& undo, int32_t& nChoice,
                       const std::function<QImage(const CDib&)>& fnImage)
{
    if (!ShowResult(CheckEffectDepth(dib)))
        return false;
    // The dialog shows the palette on the picture as the palette will start from it.
    CDib base;
    if (ScaleDib(dib, 1, base).Ok() && undo.GetKind() == UNDO_PALETTE && undo.Fits(base))
        undo.RestoreUndo(base);
    CPaletteDlg dlg(base, fnImage, nullptr);
    dlg.m_nChoice = nChoice;
    if (dlg.exec() != QDialog::Accepted)
        return false;
    if (!ShowResult(ApplyPalette(dib, undo, dlg.GetColors())))
        return false;
    nChoice = dlg.m_nChoice;
    return true;
}

bool RunSoftenCommand(QWidget* pParent, CDib& dib, CUndoSnapshot& undo, CSoftenSettings& settings)
{
    return RunSoftenCommandWith(pParent, dib, undo, settings, &ApplySoften, &MakeProgressWindow);
}

bool RunSoftenCommandWith(QWidget*, CDib& dib, CUndoSnapshot& undo, CSoftenSettings& settings,
                          const SoftenApplyFn& fnApply, const ProgressWindowFactory& fnMakeProgress)
{
    if (!ShowResult(CheckEffectDepth(dib)))
        return false;

    CSoftenDlg dlg(nullptr);
    dlg.m_nCentre = settings.m_nSoftCentre;
    dlg.m_nSize = settings.m_nSoftSize;
    dlg.m_nSizeEntered = settings.m_nSoftSizeEntered;
    dlg.m_nPasses = settings.m_nSoftPasses;
    if (dlg.exec() != QDialog::Accepted)
        return false;

    settings.m_nSoftCentre = dlg.m_nCentre;
    settings.m_nSoftSize = dlg.m_nSize;
    settings.m_nSoftSizeEntered = dlg.m_nSizeEntered;
    settings.m_nSoftPasses = dlg.m_nPasses;

    // The progress window is made once the work area is there, i.e. at the first pass; a
    // softening without memory for its work area never shows it.
    std::unique_ptr<CSoftenProgressDlg> pProgress;
    bool bProgressTried = false;
    auto fnProgress = [&](int nPercent) {
        if (!bProgressTried) {
            bProgressTried = true;
            pProgress = fnMakeProgress ? fnMakeProgress() : nullptr;
            if (!pProgress)
                ShowMessage(kMsgNoProgressWindow);
        }
        SoftenProgressProc(pProgress.get(), PROGRESS_MSG_SET, PROGRESS_MAGIC, nPercent);
    };

    const CResult result = fnApply(dib, undo, settings, fnProgress);
    pProgress.reset();

    // A depth the effect refuses was refused above, before the dialog; the passes leave it
    // unchanged without a second message.
    if (result.m_eKind == EErrorKind::UnsupportedDepth)
        return false;
    // After "Kein Speicher" the picture is as restored from the snapshot: it may have changed.
    ShowResult(result);
    return true;
}
