#pragma once
// The status bar tells what the highlighted menu item does: its prompt (the action's status
// tip) is shown for every item under the mouse or reached by the keys, disabled ones included,
// and for popups that stand on their own, like a picture window's system menu, whose prompts
// Qt would send to the menu itself rather than to the main window.
#include <QObject>
#include <QPointer>

class QAction;
class QMenu;
class QStatusBar;

class CMenuPrompts : public QObject {
    Q_OBJECT
public:
    CMenuPrompts(QStatusBar* pStatusBar, QObject* pParent);

    // Shows the prompts of this menu's items from now on.
    void Watch(QMenu* pMenu);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void ShowPrompt(const QAction* pAction);

    QPointer<QStatusBar> m_pStatusBar;
};
