#include "dialogs/CSoftenProgressDlg.h"

#include "dialogs/DialogControls.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QVBoxLayout>

#include <cstdio>

CSoftenProgressDlg::CSoftenProgressDlg(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Zeichne weich"));
    SetControlId(this, 134);
    setModal(false);
    m_pText = new QLabel(this);
    SetControlId(m_pText, 1018);
    // The number is right-aligned in four characters; a fixed-pitch font keeps it steady.
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({font.family(), QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    m_pText->setFont(font);
    m_pText->setText(FormatProgressText(0));
    m_pText->setMinimumWidth(m_pText->sizeHint().width() + 24);
    m_pText->setText(QString());
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(24, 18, 24, 18);
    pLayout->addWidget(m_pText);
    setFixedSize(sizeHint());
}

QString CSoftenProgressDlg::GetProgressText() const
{
    return m_pText->text();
}

void CSoftenProgressDlg::SetProgressText(const QString& strText)
{
    m_pText->setText(strText);
    // The passes keep the thread busy: paint now, not when the event loop next runs.
    m_pText->repaint();
}

void CSoftenProgressDlg::reject()
{
}

void CSoftenProgressDlg::closeEvent(QCloseEvent* pEvent)
{
    SoftenProgressProc(this, PROGRESS_MSG_COMMAND, 2, 0);
    pEvent->ignore();
}

QString FormatProgressText(int nPercent)
{
    char szText[64];
    std::snprintf(szText, sizeof szText, "%4d %% bereits bearbeitet", nPercent);
    return QString::fromLatin1(szText);
}

bool SoftenProgressProc(CSoftenProgressDlg* pWnd, unsigned nMessage, uintptr_t nWord, intptr_t nLong)
{
    switch (nMessage) {
    case PROGRESS_MSG_SET:
        if (nWord == PROGRESS_MAGIC && nLong >= 0 && nLong <= 100 && pWnd != nullptr)
            pWnd->SetProgressText(FormatProgressText(static_cast<int>(nLong)));
        return true;
    case PROGRESS_MSG_COMMAND:
        return true;
    default:
        return false;
    }
}
