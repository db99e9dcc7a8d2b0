#pragma once
// The colouring dialog (resource 132, "Bild Faerben"): two radio groups, the picture colour
// (controls 1021-1027) and the colour of the brightest level (1028, 1029, 1031). The choice
// goes in and out as colour index + 16 x brightest index.
#include <QDialog>

#include <cstdint>

class QButtonGroup;
class QPushButton;

class CColorizeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CColorizeDlg(QWidget* pParent = nullptr);

    int32_t m_nChoice = 0;
    int32_t m_nColorIndex = -1;
    int32_t m_nBrightIndex = -1;

    QButtonGroup* GetColorGroup() const { return m_pColorGroup; }
    QButtonGroup* GetBrightGroup() const { return m_pBrightGroup; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void OnInitDialog();

    QButtonGroup* m_pColorGroup = nullptr;
    QButtonGroup* m_pBrightGroup = nullptr;
    bool m_bInitDone = false;
};
