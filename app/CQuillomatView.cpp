#include "app/CQuillomatView.h"

#include <QLayout>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <algorithm>
#include <cstring>

#include "app/CChildFrame.h"
#include "app/CPreviewDlg.h"
#include "app/CQuillomatApp.h"
#include "app/CQuillomatDoc.h"
#include "app/QtDibClipboard.h"
#include "app/QtDibSurface.h"
#include "dialogs/CReceiveDlg.h"
#include "dialogs/EffectCommands.h"
#include "reception/TileDecoder.h"
#include "res/Resource.h"

namespace {
constexpr int PRINT_DPI = 300;  // the resolution every printer is drawn on at
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
    SetScrollSizes(GetDocument()->GetDib().GetDimensions());
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
    pDoc->GetDib().Draw(surface, CRect{0, 0, size.cx, size.cy}, CPoint{0, 0});
    if (size.cx == 0 && size.cy == 0 && pDoc->m_nPaintCount == 0) {
        pDoc->m_nPaintCount = 1;
        // A modal dialog must not run inside a paint: the reception starts as soon as this
        // paint is over, so the empty picture is shown first and the dialog comes up then.
        m_bReceptionPending = true;
        QTimer::singleShot(0, this, &CQuillomatView::ReceiveAndShow);
    }
    pDoc->m_nPaintCount = std::min(pDoc->m_nPaintCount + 1, CQuillomatDoc::PAINT_COUNT_MAX);
}

void CQuillomatView::ReceivePicture()
{
    CReceivedPicture picture;
    {
        CReceiveDlg dlg;
        dlg.exec();
        picture = dlg.GetReceivedPicture();
    }
    // A picture without rows holds nothing to lose, so closing it asks nothing.
    if (TilePictureRows(picture.m_nTileBytes) > 0)
        GetDocument()->SetModifiedFlag(true);
    m_nTileBytes = picture.m_nTileBytes;
    std::memcpy(m_TileData.data(), picture.m_TileData.data(), m_TileData.size());
}

void CQuillomatView::ReceiveAndShow()
{
    m_bReceptionPending = false;
    ReceivePicture();
    CreateReceivedPicture(m_TileData.data(), m_nTileBytes, GetDocument()->GetDib());
    SetScrollSizesToPicture();
    FitFrame();
    GetDocument()->UpdateAllViews();
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
    default: return false;
    }
}

std::optional<bool> CQuillomatView::OnUpdateCommand(uint16_t nId)
{
    switch (nId) {
    case ID_EDIT_PASTE: return IsPasteEnabled();
    case ID_EDIT_UNDO: return GetDocument()->GetUndo().HasSnapshot();
    case ID_EDIT_COPY:
    case ID_EFFECT_COLORIZE:
    case ID_EFFECT_SOFTEN:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW: return true;
    default: return std::nullopt;
    }
}

void CQuillomatView::OnEditCopy()
{
    CQtDibClipboard clipboard;
    if (!GetDocument()->GetDib().CopyToClipboard(clipboard))
        QMessageBox::information(this, CQuillomatApp::AppTitle(),
                                 QStringLiteral("Bild wurde nicht in die Zwischenablage kopiert!"), QMessageBox::Ok);
    clipboard.Close();
}

void CQuillomatView::OnEditPaste()
{
    CQtDibClipboard clipboard;
    CQuillomatDoc* pDoc = GetDocument();
    if (pDoc->GetDib().PasteFromClipboard(clipboard)) {
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
