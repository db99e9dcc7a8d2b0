#include "dialogs/CPaletteDlg.h"

#include "bitmap/CDib.h"
#include "bitmap/DibScale.h"
#include "dialogs/DialogControls.h"
#include "dialogs/Profile.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const char* const kColorsKey = "Palette/Colors";
constexpr const char* kColorNames[PALETTE_COLORS] = {"Hellste", "Hell", "Dunkel", "Dunkelste"};
// The preview's room: twice a received picture.
constexpr int kPreviewWidth = 320;
constexpr int kPreviewHeight = 288;

}  // namespace

CPaletteDlg::CPaletteDlg(const CDib& picture, DibImageFn fnImage, QWidget* pParent)
    : QDialog(pParent), m_pPicture(std::make_unique<CDib>()), m_fnImage(std::move(fnImage))
{
    setWindowTitle(QStringLiteral("Palette"));
    SetControlId(this, 133);
    // A copy to try the colours on; the picture itself changes only after OK.
    if (!picture.IsEmpty())
        (void)ScaleDib(picture, 1, *m_pPicture).Ok();

    m_pChoices = new QButtonGroup(this);
    auto* pChoiceBox = new QGroupBox(QStringLiteral("Palette"), this);
    auto* pChoiceLayout = new QVBoxLayout(pChoiceBox);
    int nIndex = 0;
    for (const CPalettePreset& preset : PalettePresets()) {
        auto* pButton = new QRadioButton(QString::fromUtf8(preset.pszTitle), pChoiceBox);
        SetControlId(pButton, ID_FIRST_CHOICE + nIndex);
        m_pChoices->addButton(pButton, nIndex++);
        pChoiceLayout->addWidget(pButton);
    }
    auto* pOwn = new QRadioButton(QStringLiteral("Eigene Farben"), pChoiceBox);
    SetControlId(pOwn, ID_FIRST_CHOICE + PALETTE_CHOICE_OWN);
    m_pChoices->addButton(pOwn, PALETTE_CHOICE_OWN);
    pChoiceLayout->addWidget(pOwn);
    pChoiceLayout->addStretch(1);
    connect(m_pChoices, &QButtonGroup::idClicked, this, [this](int nId) {
        m_nChoice = nId;
        UpdateControls();
    });

    auto* pColorBox = new QGroupBox(QStringLiteral("Farben (hell nach dunkel)"), this);
    auto* pColorLayout = new QHBoxLayout(pColorBox);
    for (int i = 0; i < PALETTE_COLORS; ++i) {
        m_pColors[i] = new QPushButton(pColorBox);
        SetControlId(m_pColors[i], ID_FIRST_COLOR + i);
        m_pColors[i]->setAutoDefault(false);
        m_pColors[i]->setFixedSize(44, 28);
        m_pColors[i]->setToolTip(QString::fromUtf8(kColorNames[i]));
        connect(m_pColors[i], &QPushButton::clicked, this, [this, i] { ChooseColor(i); });
        auto* pColumn = new QVBoxLayout;
        pColumn->addWidget(m_pColors[i], 0, Qt::AlignHCenter);
        pColumn->addWidget(new QLabel(QString::fromUtf8(kColorNames[i]), pColorBox), 0, Qt::AlignHCenter);
        pColorLayout->addLayout(pColumn);
    }

    m_pPreview = new QLabel(this);
    SetControlId(m_pPreview, ID_PREVIEW);
    m_pPreview->setAlignment(Qt::AlignCenter);
    m_pPreview->setMinimumSize(kPreviewWidth, kPreviewHeight);
    m_pPreview->setFrameShape(QFrame::StyledPanel);

    auto* pLeft = new QVBoxLayout;
    pLeft->addWidget(pChoiceBox);
    pLeft->addWidget(pColorBox);
    auto* pTop = new QHBoxLayout;
    pTop->addLayout(pLeft);
    pTop->addWidget(m_pPreview, 1);
    auto* pMain = new QVBoxLayout(this);
    pMain->addLayout(pTop);
    pMain->addLayout(MakeOkCancelRow(this));

    CPaletteColors remembered{};
    if (ParsePaletteColors(OpenProfile().value(QLatin1String(kColorsKey)).toString().toStdString(), remembered))
        m_OwnColors = remembered;
}

CPaletteDlg::~CPaletteDlg() = default;

void CPaletteDlg::showEvent(QShowEvent* pEvent)
{
    if (!m_bInitDone) {
        m_bInitDone = true;
        UpdateControls();
    }
    QDialog::showEvent(pEvent);
}

CPaletteColors CPaletteDlg::GetColors() const
{
    const auto presets = PalettePresets();
    if (m_nChoice >= 0 && size_t(m_nChoice) < presets.size())
        return presets[size_t(m_nChoice)].colors;
    return m_OwnColors;
}

void CPaletteDlg::SetOwnColor(int nIndex, uint32_t nRgb)
{
    if (nIndex < 0 || nIndex >= PALETTE_COLORS)
        return;
    // Own colours start from the palette shown, so one colour can be changed of a known one.
    if (m_nChoice != PALETTE_CHOICE_OWN)
        m_OwnColors = GetColors();
    m_OwnColors[size_t(nIndex)] = nRgb & 0xFFFFFFu;
    m_nChoice = PALETTE_CHOICE_OWN;
    UpdateControls();
}

void CPaletteDlg::ChooseColor(int nIndex)
{
    const QColor color = QColorDialog::getColor(QColor::fromRgb(GetColors()[size_t(nIndex)]), this,
                                                QString::fromUtf8(kColorNames[nIndex]));
    if (color.isValid())
        SetOwnColor(nIndex, color.rgb() & 0xFFFFFFu);
}

void CPaletteDlg::UpdateControls()
{
    if (QAbstractButton* pButton = m_pChoices->button(m_nChoice))
        pButton->setChecked(true);
    const CPaletteColors colors = GetColors();
    for (int i = 0; i < PALETTE_COLORS; ++i)
        m_pColors[i]->setStyleSheet(
            QStringLiteral("background-color: #%1; border: 1px solid black;").arg(colors[size_t(i)], 6, 16, QLatin1Char('0')));
    // The picture in these colours, each picture pixel a square block, never smoothed.
    CDib preview;
    if (m_pPicture->IsEmpty() || !m_fnImage || !ScaleDib(*m_pPicture, 1, preview).Ok()) {
        m_pPreview->clear();
        return;
    }
    ApplyPaletteToDib(preview, colors);
    QImage image = m_fnImage(preview);
    if (image.isNull()) {
        m_pPreview->clear();
        return;
    }
    const int nFactor = std::max(1, std::min(kPreviewWidth / std::max(1, image.width()),
                                             kPreviewHeight / std::max(1, image.height())));
    if (nFactor > 1)
        image = image.scaled(image.size() * nFactor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    else if (image.width() > kPreviewWidth || image.height() > kPreviewHeight)
        image = image.scaled(kPreviewWidth, kPreviewHeight, Qt::KeepAspectRatio, Qt::FastTransformation);
    m_pPreview->setPixmap(QPixmap::fromImage(image));
}

QImage CPaletteDlg::GetPreview() const
{
    return m_pPreview->pixmap().toImage();
}

void CPaletteDlg::accept()
{
    OpenProfile().setValue(QLatin1String(kColorsKey), QString::fromStdString(FormatPaletteColors(m_OwnColors)));
    QDialog::accept();
}
