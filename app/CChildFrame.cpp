#include "app/CChildFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>

#include "app/CDocument.h"
#include "app/CView.h"
#include "res/Resource.h"
#include "res/ToolbarImages.h"
#include "res/StringTable.h"

CChildFrame::CChildFrame(CView* pView, QWidget* pParent) : QMdiSubWindow(pParent), m_pView(pView)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(pView);
    setWindowIcon(DocIcon());
    if (CDocument* pDoc = pView->GetDocument()) {
        connect(pDoc, &CDocument::TitleChanged, this, [this] {
            // Every window of the document renumbers itself.
            if (CDocument* p = m_pView ? m_pView->GetDocument() : nullptr)
                for (CView* pOther : p->GetViews())
                    if (CChildFrame* pFrame = pOther->GetParentFrame())
                        pFrame->UpdateFrameTitle();
        });
    }
    SetSystemMenuPrompts();
    UpdateFrameTitle();
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::SetSystemMenuPrompts()
{
    QMenu* pMenu = systemMenu();
    if (!pMenu)
        return;
    // The system menu of a picture window: each item says in the status bar what it does.
    const QList<QAction*> actions = pMenu->actions();
    // Qt's order: restore, move, size, minimise, maximise, stay on top, close.
    const uint16_t prompts[] = {AFX_IDS_SCRESTORE, AFX_IDS_SCMOVE, AFX_IDS_SCSIZE, AFX_IDS_SCMINIMIZE,
                                AFX_IDS_SCMAXIMIZE, 0, AFX_IDS_SCCLOSE};
    int i = 0;
    for (QAction* pAction : actions) {
        if (pAction->isSeparator())
            continue;
        uint16_t nId = i < int(std::size(prompts)) ? prompts[i] : 0;
        if (nId)
            pAction->setStatusTip(QString::fromUtf8(LoadResString(nId)));
        ++i;
    }
}

void CChildFrame::UpdateFrameTitle()
{
    CDocument* pDoc = m_pView ? m_pView->GetDocument() : nullptr;
    if (!pDoc)
        return;
    QString strTitle = pDoc->GetTitle();
    const QList<CView*>& views = pDoc->GetViews();
    if (views.size() > 1)
        strTitle += QStringLiteral(":%1").arg(views.indexOf(m_pView) + 1);
    setWindowTitle(strTitle);
}

void CChildFrame::CloseWithoutAsking()
{
    m_bForceClose = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* pEvent)
{
    CDocument* pDoc = m_pView ? m_pView->GetDocument() : nullptr;
    // Only the last window of a document asks about it.
    if (!m_bForceClose && pDoc && pDoc->GetViews().size() == 1 && !pDoc->SaveModified()) {
        pEvent->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(pEvent);
    if (pEvent->isAccepted() && m_pView) {
        // The view goes now, not later with the frame: its document must not count it as
        // open once the window is closed.
        CView* pView = m_pView;
        m_pView = nullptr;
        delete pView;
    }
}
