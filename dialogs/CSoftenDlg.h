#pragma once
// The softening settings dialog (resource 133, "Weichzeichnen einstellen"): passes in edit
// 1014 (up-down 1020, 1 ... 100) and size in edit 1016 (up-down 1019, 1 ... 25). The fields
// are checked when OK is pressed; a bad field keeps the dialog open and gets the focus.
#include <QDialog>

#include <cstdint>

class QLineEdit;
class CUpDownControl;

class CSoftenDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSoftenDlg(QWidget* pParent = nullptr);

    int32_t m_nPasses = 0;
    int32_t m_nCentre = 0;
    int32_t m_nSize = 0;
    int32_t m_nSizeEntered = 0;

    QLineEdit* GetPassesEdit() const { return m_pPassesEdit; }
    QLineEdit* GetSizeEdit() const { return m_pSizeEdit; }
    CUpDownControl* GetPassesUpDown() const { return m_pPassesUpDown; }
    CUpDownControl* GetSizeUpDown() const { return m_pSizeUpDown; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void OnInitDialog();
    // Reads an edit as an integer within [nLower, nUpper]; on failure shows the range message,
    // focuses the edit and returns false.
    bool ExchangeInt(QLineEdit* pEdit, int nLower, int nUpper, int32_t& nValue);

    QLineEdit* m_pPassesEdit = nullptr;      // 1014
    QLineEdit* m_pSizeEdit = nullptr;        // 1016
    CUpDownControl* m_pPassesUpDown = nullptr; // 1020
    CUpDownControl* m_pSizeUpDown = nullptr;   // 1019
    bool m_bInitDone = false;
};

// The text of the range message for a field that holds no integer within [nLower, nUpper].
QString RangeMessage(int nLower, int nUpper);
