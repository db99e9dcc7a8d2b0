#include "dialogs/CUpDownControl.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

CUpDownControl::CUpDownControl(QLineEdit* pBuddy, QWidget* pParent) : QWidget(pParent), m_pBuddy(pBuddy)
{
    m_pUp = new QToolButton(this);
    m_pUp->setArrowType(Qt::UpArrow);
    m_pDown = new QToolButton(this);
    m_pDown->setArrowType(Qt::DownArrow);
    const int nHalf = std::max(8, pBuddy->sizeHint().height() / 2);
    for (QToolButton* pButton : {m_pUp, m_pDown}) {
        pButton->setFixedSize(16, nHalf);
        pButton->setAutoRepeat(true);
        pButton->setFocusPolicy(Qt::NoFocus);
    }
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addWidget(m_pUp);
    pLayout->addWidget(m_pDown);
    connect(m_pUp, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { Step(-1); });
    m_pBuddy->installEventFilter(this);
}

void CUpDownControl::SetRange(int nLower, int nUpper)
{
    m_nLower = std::min(nLower, nUpper);
    m_nUpper = std::max(nLower, nUpper);
    m_nPos = std::clamp(m_nPos, m_nLower, m_nUpper);
}

void CUpDownControl::SetPos(int nPos)
{
    m_nPos = std::clamp(nPos, m_nLower, m_nUpper);
    m_pBuddy->setText(QString::number(m_nPos));
}

void CUpDownControl::Step(int nDelta)
{
    // What the user typed counts as the current position, as long as it is a number.
    bool bOk = false;
    const int nTyped = m_pBuddy->text().trimmed().toInt(&bOk);
    const int nFrom = bOk ? std::clamp(nTyped, m_nLower, m_nUpper) : m_nPos;
    SetPos(nFrom + nDelta);
    m_pBuddy->selectAll();
}

bool CUpDownControl::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == m_pBuddy && pEvent->type() == QEvent::KeyPress) {
        const int nKey = static_cast<QKeyEvent*>(pEvent)->key();
        if (nKey == Qt::Key_Up || nKey == Qt::Key_Down) {
            Step(nKey == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(pWatched, pEvent);
}
