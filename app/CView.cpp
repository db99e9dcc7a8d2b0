#include "app/CView.h"

#include <QScrollBar>

#include <algorithm>

#include "app/CChildFrame.h"
#include "app/CDocument.h"

CView::CView(CDocument* pDoc, QWidget* pParent) : QAbstractScrollArea(pParent), m_pDocument(pDoc)
{
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(true);
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(pal);
    if (m_pDocument)
        m_pDocument->AddView(this);
}

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

CChildFrame* CView::GetParentFrame() const
{
    for (QWidget* p = parentWidget(); p; p = p->parentWidget())
        if (auto* pFrame = qobject_cast<CChildFrame*>(p))
            return pFrame;
    return nullptr;
}

void CView::OnInitialUpdate()
{
    OnUpdate();
}

void CView::OnUpdate()
{
    viewport()->update();
}

bool CView::OnCommand(uint16_t)
{
    return false;
}

std::optional<bool> CView::OnUpdateCommand(uint16_t)
{
    return std::nullopt;
}

void CView::SetScrollSizes(CSize sizeTotal)
{
    m_sizeTotal = {std::max(0, sizeTotal.cx), std::max(0, sizeTotal.cy)};
    UpdateBars();
    viewport()->update();
}

CPoint CView::GetScrollPosition() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CView::UpdateBars()
{
    QSize client = viewport()->size();
    // Content that fits into the whole area needs no bars, whether they are shown now or not.
    const QSize whole = maximumViewportSize();
    if (m_sizeTotal.cx <= whole.width() && m_sizeTotal.cy <= whole.height())
        client = whole;
    QScrollBar* pH = horizontalScrollBar();
    QScrollBar* pV = verticalScrollBar();
    pH->setRange(0, std::max(0, m_sizeTotal.cx - client.width()));
    pV->setRange(0, std::max(0, m_sizeTotal.cy - client.height()));
    pH->setPageStep(std::max(1, client.width()));
    pV->setPageStep(std::max(1, client.height()));
    pH->setSingleStep(std::max(1, m_sizeTotal.cx / 100));
    pV->setSingleStep(std::max(1, m_sizeTotal.cy / 100));
}

void CView::ResizeParentToFit(bool bShrinkOnly)
{
    CChildFrame* pFrame = GetParentFrame();
    if (!pFrame || pFrame->isMaximized() || pFrame->isMinimized())
        return;
    QSize client = viewport()->size();
    QSize wanted(m_sizeTotal.cx, m_sizeTotal.cy);
    if (bShrinkOnly)
        wanted = wanted.boundedTo(client);
    // Everything around the client area (title, borders, scroll bars shown now) stays; the
    // scroll bars vanish once the client holds the whole content.
    int nBarW = verticalScrollBar()->isVisible() ? verticalScrollBar()->width() : 0;
    int nBarH = horizontalScrollBar()->isVisible() ? horizontalScrollBar()->height() : 0;
    if (wanted.width() >= m_sizeTotal.cx && wanted.height() >= m_sizeTotal.cy) {
        nBarW = 0;
        nBarH = 0;
    }
    QSize extra = pFrame->size() - client;
    QSize frameSize(wanted.width() + extra.width() - (verticalScrollBar()->isVisible() ? verticalScrollBar()->width() : 0) + nBarW,
                    wanted.height() + extra.height() - (horizontalScrollBar()->isVisible() ? horizontalScrollBar()->height() : 0) + nBarH);
    frameSize = frameSize.expandedTo(pFrame->minimumSizeHint());
    if (bShrinkOnly)
        frameSize = frameSize.boundedTo(pFrame->size());
    pFrame->resize(frameSize);
    UpdateBars();
}

void CView::resizeEvent(QResizeEvent* pEvent)
{
    QAbstractScrollArea::resizeEvent(pEvent);
    UpdateBars();
}

void CView::scrollContentsBy(int, int)
{
    viewport()->update();
}
