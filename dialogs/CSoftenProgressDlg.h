#pragma once
// The progress window of the softening (resource 134, "Zeichne weich"): modeless, visible when
// made, one static text (control 1018) and no buttons. Its close box does nothing; the window
// goes when the passes are done.
#include <QDialog>

#include <cstdint>

class QLabel;

// The word parameter that marks a progress message to the window.
constexpr uintptr_t PROGRESS_MAGIC = 33945;
// Message codes the window procedure tells apart.
constexpr unsigned PROGRESS_MSG_SET = 3;      // also the platform's "window moved" code
constexpr unsigned PROGRESS_MSG_COMMAND = 0x111;

class CSoftenProgressDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSoftenProgressDlg(QWidget* pParent = nullptr);

    QString GetProgressText() const;
    void SetProgressText(const QString& strText);

public slots:
    void reject() override; // Escape does not close it either

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    QLabel* m_pText = nullptr; // 1018
};

// The window's procedure. Code 3 with PROGRESS_MAGIC and a percentage 0 ... 100 sets control
// 1018 to "%4d %% bereits bearbeitet" and paints it at once; code 3 otherwise and commands
// (0x111, e.g. the close box) are swallowed (true); anything else is left to the default
// handling (false). A null window is allowed: there is then nothing to show.
bool SoftenProgressProc(CSoftenProgressDlg* pWnd, unsigned nMessage, uintptr_t nWord, intptr_t nLong);

// The text of control 1018 for a percentage.
QString FormatProgressText(int nPercent);
