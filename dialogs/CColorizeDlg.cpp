#include "dialogs/CColorizeDlg.h"

#include "dialogs/DialogControls.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

struct SRadio {
    int nId;
    const char* pszText;
};

constexpr SRadio g_ColorButtons[] = {
    {1021, "Schwarz/Weiss"}, {1022, "Rot"}, {1023, "Grün"}, {1024, "Blau"},
    {1025, "Gelb"}, {1026, "Violett"}, {1027, "Türkis"},
};
constexpr SRadio g_BrightButtons[] = {
    {1028, "Bildfarbe"}, {1029, "Weiss"}, {1031, "Orginal GB"},
};

template <size_t N>
QGroupBox* MakeRadioGroup(const QString& strTitle, const SRadio (&buttons)[N], QButtonGroup* pGroup,
                          QWidget* pParent)
{
    auto* pBox = new QGroupBox(strTitle, pParent);
    auto* pLayout = new QVBoxLayout(pBox);
    for (size_t i = 0; i < N; ++i) {
        auto* pButton = new QRadioButton(QString::fromUtf8(buttons[i].pszText), pBox);
        SetControlId(pButton, buttons[i].nId);
        pGroup->addButton(pButton, static_cast<int>(i));
        pLayout->addWidget(pButton);
    }
    pLayout->addStretch(1);
    return pBox;
}

// Checks the button with the given index; any index outside the group leaves none checked,
// just as a radio group with no valid selection looks.
void SetRadioIndex(QButtonGroup* pGroup, int nIndex)
{
    pGroup->setExclusive(false);
    for (QAbstractButton* pButton : pGroup->buttons())
        pButton->setChecked(pGroup->id(pButton) == nIndex);
    pGroup->setExclusive(true);
}

} // namespace

CColorizeDlg::CColorizeDlg(QWidget* pParent) : QDialog(pParent)
{
    setWindowTitle(QStringLiteral("Bild Faerben"));
    SetControlId(this, 132);
    m_pColorGroup = new QButtonGroup(this);
    m_pBrightGroup = new QButtonGroup(this);

    auto* pGroups = new QHBoxLayout;
    pGroups->addWidget(MakeRadioGroup(QStringLiteral("Bildfarbe"), g_ColorButtons, m_pColorGroup, this));
    pGroups->addWidget(MakeRadioGroup(QStringLiteral("Hellste Farbe"), g_BrightButtons, m_pBrightGroup, this));

    auto* pMain = new QVBoxLayout(this);
    pMain->addLayout(pGroups);
    pMain->addLayout(MakeOkCancelRow(this));
    setSizeGripEnabled(false);
}

void CColorizeDlg::showEvent(QShowEvent* pEvent)
{
    if (!m_bInitDone) {
        m_bInitDone = true;
        OnInitDialog();
    }
    QDialog::showEvent(pEvent);
}

void CColorizeDlg::OnInitDialog()
{
    m_nColorIndex = m_nChoice % 16;
    m_nBrightIndex = m_nChoice / 16;
    SetRadioIndex(m_pColorGroup, m_nColorIndex);
    SetRadioIndex(m_pBrightGroup, m_nBrightIndex);
}

void CColorizeDlg::accept()
{
    m_nColorIndex = m_pColorGroup->checkedId();
    m_nBrightIndex = m_pBrightGroup->checkedId();
    m_nChoice = m_nColorIndex + 16 * m_nBrightIndex;
    QDialog::accept();
}
