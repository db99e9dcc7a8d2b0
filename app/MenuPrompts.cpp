#include "app/MenuPrompts.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QStatusBar>

CMenuPrompts::CMenuPrompts(QStatusBar* pStatusBar, QObject* pParent) : QObject(pParent), m_pStatusBar(pStatusBar) {}

void CMenuPrompts::Watch(QMenu* pMenu)
{
    pMenu->installEventFilter(this);
    // The keys move only over enabled items; Qt reports each one reached.
    connect(pMenu, &QMenu::hovered, this, &CMenuPrompts::ShowPrompt);
}

bool CMenuPrompts::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    auto* pMenu = qobject_cast<QMenu*>(pWatched);
    if (!pMenu || !m_pStatusBar)
        return false;
    switch (pEvent->type()) {
    case QEvent::MouseMove: {
        // Qt does not highlight disabled items, so it reports nothing for them; the mouse
        // over one still shows what it would do.
        const QPoint pos = static_cast<QMouseEvent*>(pEvent)->position().toPoint();
        // The menu, handling the move after this, clears the status bar as it finds nothing
        // to highlight; the prompt follows once it has.
        if (QPointer<QAction> pAction = pMenu->actionAt(pos); pAction && !pAction->isEnabled())
            QMetaObject::invokeMethod(
                this, [this, pAction] { if (pAction) ShowPrompt(pAction); }, Qt::QueuedConnection);
        break;
    }
    case QEvent::Hide: m_pStatusBar->clearMessage(); break;
    default: break;
    }
    return false;
}

void CMenuPrompts::ShowPrompt(const QAction* pAction)
{
    if (!m_pStatusBar)
        return;
    if (!pAction || pAction->isSeparator() || pAction->statusTip().isEmpty())
        m_pStatusBar->clearMessage();
    else
        m_pStatusBar->showMessage(pAction->statusTip());
}
