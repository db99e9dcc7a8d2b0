#pragma once
// An up-down control: two small arrow buttons beside an edit field (its buddy). It keeps a
// position within its range, writes the position into the buddy as an integer and answers the
// Up and Down keys in the buddy. It never corrects what the user typed: the dialog checks the
// field when it closes.
#include <QWidget>

class QLineEdit;
class QToolButton;

class CUpDownControl : public QWidget {
    Q_OBJECT
public:
    CUpDownControl(QLineEdit* pBuddy, QWidget* pParent);

    void SetRange(int nLower, int nUpper);
    void SetPos(int nPos);
    int GetPos() const { return m_nPos; }

    // One step up (+1) or down (-1), as a click on an arrow or an arrow key does.
    void Step(int nDelta);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QLineEdit* m_pBuddy;
    QToolButton* m_pUp = nullptr;
    QToolButton* m_pDown = nullptr;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nPos = 0;
};
