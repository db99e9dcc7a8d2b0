#include "app/CPreviewDlg.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QVBoxLayout>

#include "res/Resource.h"
#include "res/StringTable.h"

namespace {
constexpr int ZOOM_STEPS = 3;
}

CPreviewDlg::CPreviewDlg(QPrinter* pPrinter, QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QString::fromUtf8(CommandTip(ID_FILE_PRINT_PREVIEW)));  // "Seitenansicht"
    setObjectName(QStringLiteral("printPreview"));

    m_pButtonRow = new QWidget(this);
    auto* pButtons = new QHBoxLayout(m_pButtonRow);
    pButtons->setContentsMargins(4, 4, 4, 4);
    QPushButton* pPrint = AddButton(QStringLiteral("&Drucken..."), QStringLiteral("print"));
    pPrint->setStatusTip(QString::fromUtf8(CommandPrompt(ID_FILE_PRINT)));
    m_pNext = AddButton(QStringLiteral("&Nächste Seite"), QStringLiteral("next"));
    m_pPrevious = AddButton(QStringLiteral("&Vorherige Seite"), QStringLiteral("previous"));
    m_pTwoPages = AddButton(QStringLiteral("&Zwei Seiten"), QStringLiteral("twoPages"));
    m_pZoomIn = AddButton(QStringLiteral("Ver&größern"), QStringLiteral("zoomIn"));
    m_pZoomOut = AddButton(QStringLiteral("Ver&kleinern"), QStringLiteral("zoomOut"));
    QPushButton* pClose = AddButton(QStringLiteral("&Schließen"), QStringLiteral("close"));
    pClose->setStatusTip(QString::fromUtf8(CommandPrompt(AFX_IDS_PREVIEW_CLOSE)));  // "Beendet die Seitenansicht."
    pClose->setToolTip(QString::fromUtf8(CommandTip(AFX_IDS_PREVIEW_CLOSE)));
    pButtons->addStretch(1);
    for (QPushButton* pButton : m_pButtonRow->findChildren<QPushButton*>())
        pButton->setAutoDefault(false);

    m_pPreview = new QPrintPreviewWidget(pPrinter, this);
    m_pStatusBar = new QStatusBar(this);
    m_pPageLabel = new QLabel(m_pStatusBar);
    m_pStatusBar->addWidget(m_pPageLabel);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addWidget(m_pButtonRow);
    pLayout->addWidget(m_pPreview, 1);
    pLayout->addWidget(m_pStatusBar);

    connect(m_pPreview, &QPrintPreviewWidget::paintRequested, this, &CPreviewDlg::PaintRequested);
    connect(m_pPreview, &QPrintPreviewWidget::previewChanged, this, &CPreviewDlg::UpdateButtons);
    connect(pPrint, &QPushButton::clicked, this, [this] { done(PRINT_REQUESTED); });
    connect(m_pNext, &QPushButton::clicked, this, [this] {
        m_pPreview->setCurrentPage(m_pPreview->currentPage() + 1);
        UpdateButtons();
    });
    connect(m_pPrevious, &QPushButton::clicked, this, [this] {
        m_pPreview->setCurrentPage(m_pPreview->currentPage() - 1);
        UpdateButtons();
    });
    connect(m_pTwoPages, &QPushButton::clicked, this, [this] {
        const bool bTwo = m_pPreview->viewMode() == QPrintPreviewWidget::SinglePageView;
        m_pPreview->setViewMode(bTwo ? QPrintPreviewWidget::FacingPagesView : QPrintPreviewWidget::SinglePageView);
        UpdateButtons();
    });
    connect(m_pZoomIn, &QPushButton::clicked, this, [this] { SetZoom(m_nZoom + 1); });
    connect(m_pZoomOut, &QPushButton::clicked, this, [this] { SetZoom(m_nZoom - 1); });
    connect(pClose, &QPushButton::clicked, this, &QDialog::reject);

    // Where the main window is, as large, and never narrower than the row of buttons.
    if (QWidget* pWindow = pParent ? pParent->window() : nullptr) {
        resize(pWindow->size().expandedTo(QSize(m_pButtonRow->sizeHint().width(), 400)));
        move(pWindow->pos());
    }
    setMinimumWidth(m_pButtonRow->sizeHint().width());
    SetZoom(0);
}

QPushButton* CPreviewDlg::AddButton(const QString& strText, const QString& strName)
{
    auto* pButton = new QPushButton(strText, m_pButtonRow);
    pButton->setObjectName(strName);
    m_pButtonRow->layout()->addWidget(pButton);
    return pButton;
}

void CPreviewDlg::SetZoom(int nZoom)
{
    m_nZoom = std::clamp(nZoom, 0, ZOOM_STEPS - 1);
    if (m_nZoom == 0) {
        m_pPreview->fitInView();
    } else {
        m_pPreview->fitToWidth();
        if (m_nZoom == 2)
            m_pPreview->setZoomFactor(m_pPreview->zoomFactor() * 2.0);
    }
    UpdateButtons();
}

void CPreviewDlg::UpdateButtons()
{
    const int nPages = m_pPreview->pageCount();
    const int nPage = m_pPreview->currentPage();
    const bool bTwo = m_pPreview->viewMode() != QPrintPreviewWidget::SinglePageView;
    m_pNext->setEnabled(nPage < nPages);
    m_pPrevious->setEnabled(nPage > 1);
    m_pTwoPages->setText(bTwo ? QStringLiteral("&Eine Seite") : QStringLiteral("&Zwei Seiten"));
    m_pZoomIn->setEnabled(m_nZoom < ZOOM_STEPS - 1);
    m_pZoomOut->setEnabled(m_nZoom > 0);
    m_pPageLabel->setText(bTwo && nPage < nPages ? QStringLiteral("Seiten %1-%2").arg(nPage).arg(nPage + 1)
                                                 : QStringLiteral("Seite %1").arg(nPage));
}

bool CPreviewDlg::event(QEvent* pEvent)
{
    // The buttons' prompts go to the status bar at the bottom.
    if (pEvent->type() == QEvent::StatusTip) {
        m_pStatusBar->showMessage(static_cast<QStatusTipEvent*>(pEvent)->tip());
        return true;
    }
    return QDialog::event(pEvent);
}
