#include "app/CQuillomatView.h"

#include <QInputDialog>
#include <QLayout>
#include <QMdiArea>
#include <QMessageBox>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <algorithm>
#include <cstring>

#include "app/CBmpDocManager.h"
#include "app/CChildFrame.h"
#include "app/CPreviewDlg.h"
#include "app/CQuillomatApp.h"
#include "app/CQuillomatDoc.h"
#include "app/QtDibClipboard.h"
#include "dialogs/Profile.h"
#include "app/QtDibSurface.h"
#include "common/MessageSink.h"
#include "bitmap/DibScale.h"
#include "bitmap/PictureFile.h"
#include "dialogs/CReceiveDlg.h"
#include "dialogs/EffectCommands.h"
#include "reception/ReceptionVerdict.h"
#include "reception/TileDecoder.h"
#include "res/Resource.h"

namespace {
constexpr int PRINT_DPI = 300;  // the resolution every printer is drawn on at
constexpr int32_t MAX_COPY_SCALE = 8;
const char* const COPY_SCALE_KEY = "Edit/CopyScale";
}

CQuillomatView::CQuillomatView(CQuillomatDoc* pDoc, QWidget* pParent) : CView(pDoc, pParent) {}

CQuillomatView::~CQuillomatView() = default;

CQuillomatDoc* CQuillomatView::GetDocument() const
{
    return static_cast<CQuillomatDoc*>(CView::GetDocument());
}

void CQuillomatView::OnInitialUpdate()
{
    CView::OnInitialUpdate();
    SetScrollSizesToPicture();
    FitFrame();
}

void CQuillomatView::SetScrollSizesToPicture()
{
    const CSize size = GetDocument()->GetDib().GetDimensions();
    SetScrollSizes({size.cx * m_nZoom, size.cy * m_nZoom});
}

void CQuillomatView::SetZoom(int32_t nZoom)
{
    ApplyZoom(nZoom, QPoint(viewport()->width() / 2, viewport()->height() / 2));
}

void CQuillomatView::ApplyZoom(int32_t nZoom, QPoint ptKeep)
{
    if (std::find(ZOOM_STEPS.begin(), ZOOM_STEPS.end(), nZoom) == ZOOM_STEPS.end())
        return;
    if (nZoom != m_nZoom) {
        // The picture point under ptKeep, to be under it again afterwards.
        const CPoint ptScroll = GetScrollPosition();
        const double dX = double(ptScroll.x + ptKeep.x()) / m_nZoom;
        const double dY = double(ptScroll.y + ptKeep.y()) / m_nZoom;
        m_nZoom = nZoom;
        SetScrollSizesToPicture();
        FitFrameToZoom();
        horizontalScrollBar()->setValue(int(dX * m_nZoom) - ptKeep.x());
        verticalScrollBar()->setValue(int(dY * m_nZoom) - ptKeep.y());
        viewport()->update();
    }
    emit ZoomChanged(m_nZoom);
}

void CQuillomatView::ZoomIn()
{
    auto it = std::upper_bound(ZOOM_STEPS.begin(), ZOOM_STEPS.end(), m_nZoom);
    if (it != ZOOM_STEPS.end())
        SetZoom(*it);
}

void CQuillomatView::ZoomOut()
{
    auto it = std::lower_bound(ZOOM_STEPS.begin(), ZOOM_STEPS.end(), m_nZoom);
    if (it != ZOOM_STEPS.begin())
        SetZoom(*(it - 1));
}

void CQuillomatView::ZoomToFit()
{
    const CSize size = GetDocument()->GetDib().GetDimensions();
    CChildFrame* pFrame = GetParentFrame();
    if (size.cx <= 0 || size.cy <= 0 || !pFrame)
        return;
    // Room for the picture: the main window's area less the frame around this view; a
    // maximised window has its own viewport only.
    QSize room = viewport()->size();
    if (!pFrame->isMaximized() && pFrame->mdiArea())
        room = pFrame->mdiArea()->viewport()->size() - (pFrame->size() - QWidget::size());
    int32_t nZoom = ZOOM_STEPS.front();
    for (int32_t nStep : ZOOM_STEPS)
        if (int64_t(size.cx) * nStep <= room.width() && int64_t(size.cy) * nStep <= room.height())
            nZoom = nStep;
    SetZoom(nZoom);
}

void CQuillomatView::FitFrameToZoom()
{
    CChildFrame* pFrame = GetParentFrame();
    if (!pFrame || pFrame->isMaximized() || pFrame->isMinimized())
        return;
    if (pFrame->layout())
        pFrame->layout()->activate();
    const CSize total = GetTotalSize();
    // The frame's title and borders around this view (whose size holds any scroll bars).
    const QSize extra = pFrame->size() - size();
    QSize wanted(total.cx + extra.width(), total.cy + extra.height());
    if (QMdiArea* pArea = pFrame->mdiArea()) {
        const QSize room = pArea->viewport()->size();
        // Beyond the room, scroll bars: one across takes height, one down takes width.
        const int nBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        bool bAcross = wanted.width() > room.width(), bDown = wanted.height() > room.height();
        bDown = bDown || (bAcross && wanted.height() + nBar > room.height());
        bAcross = bAcross || (bDown && wanted.width() + nBar > room.width());
        wanted += QSize(bDown ? nBar : 0, bAcross ? nBar : 0);
        wanted = wanted.boundedTo(room).expandedTo(pFrame->minimumSizeHint());
        // Moved in where it would reach past the main window's edge.
        QPoint pos = pFrame->pos();
        pos.setX(std::max(0, std::min(pos.x(), room.width() - wanted.width())));
        pos.setY(std::max(0, std::min(pos.y(), room.height() - wanted.height())));
        pFrame->move(pos);
    }
    pFrame->resize(wanted);
    UpdateBars();
}

void CQuillomatView::wheelEvent(QWheelEvent* pEvent)
{
    if (!(pEvent->modifiers() & Qt::ControlModifier)) {
        CView::wheelEvent(pEvent);
        return;
    }
    // Ctrl+wheel: one step per notch, the picture point under the pointer staying put.
    const int nDelta = pEvent->angleDelta().y();
    auto it = std::upper_bound(ZOOM_STEPS.begin(), ZOOM_STEPS.end(), m_nZoom);
    int32_t nZoom = m_nZoom;
    if (nDelta > 0 && it != ZOOM_STEPS.end())
        nZoom = *it;
    else if (nDelta < 0 && m_nZoom > ZOOM_STEPS.front())
        nZoom = *(std::lower_bound(ZOOM_STEPS.begin(), ZOOM_STEPS.end(), m_nZoom) - 1);
    ApplyZoom(nZoom, viewport()->mapFrom(this, pEvent->position().toPoint()));
    pEvent->accept();
}

void CQuillomatView::FitFrame()
{
    if (GetDocument()->GetDib().IsEmpty())
        return;
    if (CChildFrame* pFrame = GetParentFrame())
        if (pFrame->layout())
            pFrame->layout()->activate();
    ResizeParentToFit(true);
}

void CQuillomatView::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    CPoint ptScroll = GetScrollPosition();
    painter.translate(-ptScroll.x, -ptScroll.y);
    CQtDibSurface surface(painter, false, logicalDpiX(), logicalDpiY());
    OnDraw(surface);
}

void CQuillomatView::OnDraw(IDibSurface& surface)
{
    CQuillomatDoc* pDoc = GetDocument();
    CSize size = pDoc->GetDib().GetDimensions();
    // The screen shows the picture at the window's zoom (a whole factor, so the surface's
    // colour-on-colour stretch makes every pixel a square block); a printer places it itself.
    const int32_t nZoom = surface.IsPrinting() ? 1 : m_nZoom;
    pDoc->GetDib().Draw(surface, CRect{0, 0, size.cx * nZoom, size.cy * nZoom}, CPoint{0, 0});
    if (size.cx == 0 && size.cy == 0 && pDoc->m_nPaintCount == 0) {
        pDoc->m_nPaintCount = 1;
        // A modal dialog must not run inside a paint: the reception starts as soon as this
        // paint is over, so the empty picture is shown first and the dialog comes up then.
        m_bReceptionPending = true;
        QTimer::singleShot(0, this, &CQuillomatView::ReceiveAndShow);
    }
    pDoc->m_nPaintCount = std::min(pDoc->m_nPaintCount + 1, CQuillomatDoc::PAINT_COUNT_MAX);
}

std::vector<CReceivedImage> CQuillomatView::ReceivePicture()
{
    CReceivedPicture picture;
    std::vector<CReceivedImage> images;
    {
        CReceiveDlg dlg;
        dlg.exec();
        picture = dlg.GetReceivedPicture();
        // Where the images of a series part is the session's business.
        if (dlg.IsSplitImages())
            images = dlg.GetSession().GetImages(true);
        // The status bar says what the command line says of the picture.
        m_strReception = TilePictureRows(picture.m_nTileBytes) > 0
                             ? QString::fromStdString(VerdictStatusLine(dlg.GetVerdict()))
                             : QString();
    }
    // A picture without rows holds nothing to lose, so closing it asks nothing.
    if (TilePictureRows(picture.m_nTileBytes) > 0)
        GetDocument()->SetModifiedFlag(true);
    m_nTileBytes = picture.m_nTileBytes;
    std::memcpy(m_TileData.data(), picture.m_TileData.data(), m_TileData.size());
    if (images.size() < 2)
        images.clear();
    return images;
}

void CQuillomatView::ReceiveAndShow()
{
    m_bReceptionPending = false;
    std::vector<CReceivedImage> images = ReceivePicture();
    if (images.empty()) {
        CreateReceivedPicture(m_TileData.data(), m_nTileBytes, GetDocument()->GetDib());
    } else {
        const CReceivedImage& first = images.front();
        CreateTilePicture(first.m_Tiles.data(), static_cast<int32_t>(first.m_Tiles.size()), GetDocument()->GetDib());
    }
    SetScrollSizesToPicture();
    FitFrame();
    GetDocument()->UpdateAllViews();
    emit ReceptionJudged();
    if (images.size() > 1)
        CQuillomatApp::GetApp()->GetBmpDocManager()->OpenImageWindows({images.begin() + 1, images.end()});
}

bool CQuillomatView::OnCommand(uint16_t nId)
{
    switch (nId) {
    case ID_EDIT_COPY: OnEditCopy(); return true;
    case ID_EDIT_PASTE: OnEditPaste(); return true;
    case ID_EDIT_UNDO: OnEditUndo(); return true;
    case ID_EFFECT_COLORIZE: OnColorize(); return true;
    case ID_EFFECT_SOFTEN: OnSoften(); return true;
    case ID_FILE_PRINT: OnFilePrint(); return true;
    case ID_FILE_PRINT_DIRECT:
        if (QPrinter* pPrinter = CQuillomatApp::GetApp()->GetPrinter())
            PrintTo(pPrinter);
        return true;
    case ID_FILE_PRINT_PREVIEW: OnFilePrintPreview(); return true;
    case ID_FILE_SAVE_AS: OnFileSaveAs(); return true;
    case ID_EDIT_COPY_SIZE: OnEditCopySize(); return true;
    case ID_EFFECT_PALETTE: OnPalette(); return true;
    case ID_VIEW_ZOOM_IN: ZoomIn(); return true;
    case ID_VIEW_ZOOM_OUT: ZoomOut(); return true;
    case ID_VIEW_ZOOM_ORIGINAL: SetZoom(1); return true;
    case ID_VIEW_ZOOM_FIT: ZoomToFit(); return true;
    default: return false;
    }
}

std::optional<bool> CQuillomatView::OnUpdateCommand(uint16_t nId)
{
    switch (nId) {
    case ID_EDIT_PASTE: return IsPasteEnabled();
    case ID_EDIT_UNDO: return GetDocument()->GetUndo().HasSnapshot();
    case ID_VIEW_ZOOM_IN: return m_nZoom < ZOOM_STEPS.back();
    case ID_VIEW_ZOOM_OUT: return m_nZoom > ZOOM_STEPS.front();
    case ID_VIEW_ZOOM_ORIGINAL:
    case ID_VIEW_ZOOM_FIT:
    case ID_FILE_SAVE_AS:
    case ID_EDIT_COPY_SIZE:
    case ID_EFFECT_PALETTE:
    case ID_EDIT_COPY:
    case ID_EFFECT_COLORIZE:
    case ID_EFFECT_SOFTEN:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW: return true;
    default: return std::nullopt;
    }
}

int32_t CQuillomatView::GetCopyScale()
{
    return std::clamp(OpenProfile().value(QLatin1String(COPY_SCALE_KEY), 1).toInt(), 1, MAX_COPY_SCALE);
}

void CQuillomatView::SetCopyScale(int32_t nScale)
{
    OpenProfile().setValue(QLatin1String(COPY_SCALE_KEY), std::clamp(nScale, 1, MAX_COPY_SCALE));
}

void CQuillomatView::OnEditCopySize()
{
    QStringList sizes;
    for (int32_t n = 1; n <= MAX_COPY_SCALE; ++n)
        sizes << QStringLiteral("%1×").arg(n);
    bool bOk = false;
    const QString strChoice = QInputDialog::getItem(
        this, QStringLiteral("Kopiergröße"), QStringLiteral("„Kopieren“ legt das Bild so groß in die Zwischenablage:"),
        sizes, GetCopyScale() - 1, false, &bOk);
    if (bOk && sizes.contains(strChoice))
        SetCopyScale(int32_t(sizes.indexOf(strChoice)) + 1);
}

void CQuillomatView::OnFileSaveAs()
{
    CQuillomatDoc* pDoc = GetDocument();
    auto* pManager = CQuillomatApp::GetApp() ? CQuillomatApp::GetApp()->GetBmpDocManager()
                                             : nullptr;
    if (!pManager) {
        pDoc->DoSave(QString());
        return;
    }
    QString strName = pDoc->GetPathName().isEmpty() ? pDoc->GetTitle() : pDoc->GetPathName();
    int32_t nScale = 1;
    if (!pManager->PromptSaveAs(strName, nScale))
        return;
    const std::filesystem::path path(strName.toStdString());
    if (nScale <= 1 || !IsPngFileName(path)) {
        pDoc->DoSave(strName);
        return;
    }
    // An enlarged copy: the picture itself and the document's file stay as they are.
    CDib scaled;
    if (ShowResult(ScaleDib(pDoc->GetDib(), nScale, scaled)))
        ShowResult(WritePictureFile(scaled, path));
}

void CQuillomatView::OnPalette()
{
    CQuillomatDoc* pDoc = GetDocument();
    if (RunPaletteCommand(this, pDoc->GetDib(), pDoc->GetUndo(), m_nPaletteChoice, &DibToQImage)) {
        pDoc->SetModifiedFlag(true);
        pDoc->UpdateAllViews();
    }
}

void CQuillomatView::OnEditCopy()
{
    CQtDibClipboard clipboard;
    const CDib& dib = GetDocument()->GetDib();
    // Enlarged as the copy size says; a picture too big for it stays where it is (the message
    // has said why).
    const int32_t nScale = GetCopyScale();
    CDib scaled;
    if (nScale > 1 && !dib.IsEmpty() && !ShowResult(ScaleDib(dib, nScale, scaled))) {
        clipboard.Close();
        return;
    }
    const CDib& copied = scaled.IsEmpty() ? dib : scaled;
    if (!ShowResult(copied.CopyToClipboard(clipboard)))
        QMessageBox::information(this, CQuillomatApp::AppTitle(),
                                 QStringLiteral("Bild wurde nicht in die Zwischenablage kopiert!"), QMessageBox::Ok);
    clipboard.Close();
}

void CQuillomatView::OnEditPaste()
{
    CQtDibClipboard clipboard;
    CQuillomatDoc* pDoc = GetDocument();
    // A picture of a depth without a colour count is taken with the picture class's message.
    if (ShowResult(pDoc->GetDib().PasteFromClipboard(clipboard))) {
        pDoc->SetModifiedFlag(true);
        SetScrollSizesToPicture();
        pDoc->UpdateAllViews();
    } else {
        QMessageBox::information(this, CQuillomatApp::AppTitle(), QStringLiteral("Kann Zwischenablage nicht darstellen!"),
                                 QMessageBox::Ok);
    }
    clipboard.Close();
}

bool CQuillomatView::IsPasteEnabled() const
{
    return CQtDibClipboard::HasPicture();
}

void CQuillomatView::OnEditUndo()
{
    CQuillomatDoc* pDoc = GetDocument();
    CUndoSnapshot& undo = pDoc->GetUndo();
    if (!undo.HasSnapshot())
        return;
    undo.RestoreUndo(pDoc->GetDib());
    undo.Free();
    pDoc->UpdateAllViews();
}

void CQuillomatView::OnColorize()
{
    CQuillomatDoc* pDoc = GetDocument();
    if (RunColorizeCommand(this, pDoc->GetDib(), pDoc->GetUndo(), m_nColorChoice)) {
        pDoc->SetModifiedFlag(true);
        pDoc->UpdateAllViews();
    }
}

void CQuillomatView::OnSoften()
{
    CQuillomatDoc* pDoc = GetDocument();
    if (RunSoftenCommand(this, pDoc->GetDib(), pDoc->GetUndo(), m_SoftenSettings)) {
        pDoc->SetModifiedFlag(true);
        pDoc->UpdateAllViews();
    }
}

void CQuillomatView::OnFilePrint()
{
    QPrinter* pPrinter = CQuillomatApp::GetApp()->GetPrinter();
    QPrintDialog dialog(pPrinter, this);
    if (dialog.exec() == QDialog::Accepted)
        PrintTo(pPrinter);
}

void CQuillomatView::OnFilePrintPreview()
{
    QPrinter* pPrinter = CQuillomatApp::GetApp()->GetPrinter();
    CPreviewDlg dialog(pPrinter, window());
    connect(&dialog, &CPreviewDlg::PaintRequested, this, &CQuillomatView::PrintTo);
    if (dialog.exec() == CPreviewDlg::PRINT_REQUESTED)
        OnFilePrint();
}

void CQuillomatView::PrintTo(QPrinter* pPrinter)
{
    QPainter painter;
    if (!painter.begin(pPrinter))
        return;
    // The picture's place and size on paper (from (200, 200), 1300 / dpi device pixels per
    // picture pixel) suit printers of about 300 dots per inch; at the 600 to 1200 of today's
    // printers and of PDF files it would come out a few millimetres wide. Whatever the printer's
    // resolution, it is drawn on as a 300 dpi printer: 160 pixels make 2.3 inches on paper.
    const double dScaleX = double(pPrinter->logicalDpiX()) / PRINT_DPI;
    const double dScaleY = double(pPrinter->logicalDpiY()) / PRINT_DPI;
    painter.scale(dScaleX, dScaleY);
    CQtDibSurface surface(painter, true, PRINT_DPI, PRINT_DPI);
    OnDraw(surface);
    painter.end();
}
