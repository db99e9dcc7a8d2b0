#include "dialogs/CSoftenDlg.h"

#include "dialogs/CUpDownControl.h"
#include "dialogs/DialogControls.h"
#include "dialogs/Profile.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

namespace {

constexpr int kPassesMin = 1;
constexpr int kPassesMax = 100;
constexpr int kSizeMin = 1;
constexpr int kSizeMax = 25;

// A signed integer with optional surrounding blanks; anything else is not a number.
bool ParseInt(const QString& strText, int32_t& nValue)
{
    bool bOk = false;
    const int nParsed = strText.trimmed().toInt(&bOk, 10);
    if (bOk)
        nValue = nParsed;
    return bOk;
}

} // namespace

QString RangeMessage(int nLower, int nUpper)
{
    return QStringLiteral("Bitte geben Sie eine ganze Zahl zwischen %1 und %2 ein.").arg(nLower).arg(nUpper);
}

CSoftenDlg::CSoftenDlg(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Weichzeichnen einstellen"));
    SetControlId(this, 133);

    m_pPassesEdit = new QLineEdit(this);
    SetControlId(m_pPassesEdit, 1014);
    m_pPassesUpDown = new CUpDownControl(m_pPassesEdit, this);
    SetControlId(m_pPassesUpDown, 1020);
    m_pSizeEdit = new QLineEdit(this);
    SetControlId(m_pSizeEdit, 1016);
    m_pSizeUpDown = new CUpDownControl(m_pSizeEdit, this);
    SetControlId(m_pSizeUpDown, 1019);
    for (QLineEdit* pEdit : {m_pPassesEdit, m_pSizeEdit}) {
        pEdit->setAlignment(Qt::AlignRight);
        pEdit->setFixedWidth(64);
    }

    auto* pPassesLabel = new QLabel(QStringLiteral("Passes"), this);
    pPassesLabel->setBuddy(m_pPassesEdit);
    auto* pSizeLabel = new QLabel(QStringLiteral("Größe"), this);
    pSizeLabel->setBuddy(m_pSizeEdit);

    auto* pGrid = new QGridLayout;
    pGrid->setHorizontalSpacing(8);
    pGrid->setVerticalSpacing(8);
    pGrid->addWidget(pPassesLabel, 0, 0);
    pGrid->addWidget(m_pPassesEdit, 0, 1);
    pGrid->addWidget(m_pPassesUpDown, 0, 2);
    pGrid->addWidget(pSizeLabel, 1, 0);
    pGrid->addWidget(m_pSizeEdit, 1, 1);
    pGrid->addWidget(m_pSizeUpDown, 1, 2);
    pGrid->setColumnStretch(3, 1);

    auto* pMain = new QVBoxLayout(this);
    pMain->setContentsMargins(16, 14, 16, 12);
    pMain->addLayout(pGrid);
    pMain->addSpacing(12);
    pMain->addLayout(MakeOkCancelRow(this));
}

void CSoftenDlg::showEvent(QShowEvent* pEvent)
{
    if (!m_bInitDone) {
        m_bInitDone = true;
        OnInitDialog();
    }
    QDialog::showEvent(pEvent);
}

void CSoftenDlg::OnInitDialog()
{
    m_pPassesEdit->setText(QString::number(m_nPasses));
    m_pSizeEdit->setText(QString::number(m_nSize));

    // Written every time the dialog opens; nothing reads it.
    QSettings settings = OpenProfile();
    settings.setValue(QStringLiteral("Settings/GlobalApp"), QStringLiteral("Lorvenex"));
    settings.sync();

    // The up-down controls take the fields' values as their positions; a value outside the
    // range stays in the field as it is until an arrow is used.
    m_pPassesUpDown->SetRange(kPassesMin, kPassesMax);
    m_pSizeUpDown->SetRange(kSizeMin, kSizeMax);
    const QString strPasses = m_pPassesEdit->text();
    const QString strSize = m_pSizeEdit->text();
    m_pPassesUpDown->SetPos(m_nPasses);
    m_pSizeUpDown->SetPos(m_nSize);
    m_pPassesEdit->setText(strPasses);
    m_pSizeEdit->setText(strSize);
    m_pPassesEdit->setFocus();
    m_pPassesEdit->selectAll();
}

bool CSoftenDlg::ExchangeInt(QLineEdit* pEdit, int nLower, int nUpper, int32_t& nValue)
{
    int32_t nRead = 0;
    if (ParseInt(pEdit->text(), nRead) && nRead >= nLower && nRead <= nUpper) {
        nValue = nRead;
        return true;
    }
    QMessageBox::information(this, QStringLiteral("Quillomat"), RangeMessage(nLower, nUpper), QMessageBox::Ok);
    pEdit->setFocus();
    pEdit->selectAll();
    return false;
}

void CSoftenDlg::accept()
{
    m_nCentre = 25;
    int32_t nEntered = 0;
    m_nSizeEntered = ParseInt(m_pSizeEdit->text(), nEntered) ? nEntered : 0;

    if (!ExchangeInt(m_pPassesEdit, kPassesMin, kPassesMax, m_nPasses))
        return;
    if (!ExchangeInt(m_pSizeEdit, kSizeMin, kSizeMax, m_nSize))
        return;
    QDialog::accept();
}
