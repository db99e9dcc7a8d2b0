#pragma once
// The palette dialog ("Palette"): a known palette (controls 1040-1043) or four colours of one's
// own (1044, the colour buttons 1045-1048, lightest first), with the picture shown live in the
// chosen colours (1049). The own colours are remembered in the profile ("Palette/Colors").
#include <QDialog>

#include <functional>
#include <memory>

#include "effects/Palette.h"

class QButtonGroup;
class QImage;
class QLabel;
class QPushButton;
class CDib;

// The choice: the index of a preset, or PALETTE_CHOICE_OWN.
inline constexpr int32_t PALETTE_CHOICE_OWN = 4;

// How the desktop program turns a picture into an image for the screen.
using DibImageFn = std::function<QImage(const CDib&)>;

class CPaletteDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int ID_FIRST_CHOICE = 1040;  // the presets, then "Eigene Farben"
    static constexpr int ID_FIRST_COLOR = 1045;   // the four colour buttons
    static constexpr int ID_PREVIEW = 1049;

    // picture: the picture as the palette would start from; fnImage shows it.
    CPaletteDlg(const CDib& picture, DibImageFn fnImage, QWidget* pParent = nullptr);
    ~CPaletteDlg() override;

    int32_t m_nChoice = 0;  // given in before exec(), read back after OK
    // The own colours: from the profile, else a pale green set; stored there on OK.
    CPaletteColors m_OwnColors{0xE0F8D0, 0x88C070, 0x346856, 0x081820};

    // The colours of the choice made now.
    CPaletteColors GetColors() const;
    // An own colour changed (as the colour button's chooser does): the choice becomes "Eigene Farben".
    void SetOwnColor(int nIndex, uint32_t nRgb);
    // The preview as shown now.
    QImage GetPreview() const;

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void ChooseColor(int nIndex);
    void UpdateControls();

    std::unique_ptr<CDib> m_pPicture;
    DibImageFn m_fnImage;
    QButtonGroup* m_pChoices = nullptr;
    QPushButton* m_pColors[PALETTE_COLORS] = {};
    QLabel* m_pPreview = nullptr;
    bool m_bInitDone = false;
};
