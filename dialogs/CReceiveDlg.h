#pragma once
// The receive dialog (template 130, "Bild vom GB einlesen"): the Qt face of CReceiveSession.
// The session holds the block table, the engine state and the link module; this class gives it
// a status line (control 1032), message boxes, the 20 ms timer (timer 1) and the way out.
#include <QDialog>

#include <filesystem>
#include <memory>
#include <string>

#include "reception/ReceiveSession.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTimer;
class PortIo;

class CReceiveDlg : public QDialog, public IReceiveScreen {
    Q_OBJECT
public:
    // The view passes no parent. The link is named by QUILLOMAT_LINK, else the profile value
    // "Link/Port", else "auto"; the log goes to "Tarvo.log" in the current directory.
    explicit CReceiveDlg(QWidget* pParent = nullptr);
    // An explicit port (null: no port at all) and log file, for tests and demonstrations.
    CReceiveDlg(std::shared_ptr<PortIo> pPort, const std::filesystem::path& logPath, QWidget* pParent = nullptr);
    ~CReceiveDlg() override;

    // After exec(): the byte count and the first 20000 picture bytes.
    CReceivedPicture GetReceivedPicture() const;

    CReceiveSession& GetSession() { return *m_pSession; }

    // IReceiveScreen
    std::string GetStatusText() const override;
    void SetStatusText(const std::string& strUtf8) override;
    void ShowMessage(const std::string& strUtf8) override;
    unsigned SetTimer(unsigned nId, unsigned nMilliseconds) override;
    void KillTimer(unsigned nTimerId) override;
    void EndDialog(int nResult) override;

    // Tests take the timer away to see how the dialog copes without one.
    void SetTimerAvailable(bool bAvailable) { m_bTimerAvailable = bAvailable; }
    bool IsTimerRunning() const;
    // How often control 1032 was given a new text.
    int GetStatusSetCount() const { return m_nStatusSets; }

    // The link string the dialog opens when none is given: QUILLOMAT_LINK, the profile value
    // "Link/Port", "auto" — the first that is set and not empty.
    static std::string LinkStringFromEnvironment();

public slots:
    void accept() override;
    void reject() override;
    void done(int nResult) override;

protected:
    void showEvent(QShowEvent* pEvent) override;

private:
    void BuildControls();
    void OnInitDialog();
    void OnTick();

    std::unique_ptr<CReceiveSession> m_pSession;
    std::string m_strLinkError;       // a link string that could not be opened
    QLabel* m_pStatus = nullptr;      // control 1032
    QCheckBox* m_pStrict = nullptr;   // control 1033: strict checking (profile "Receive/Strict")
    QCheckBox* m_pAllPrints = nullptr;  // control 1034: all prints (profile "Receive/AllPrints")
    QPushButton* m_pOk = nullptr;     // control 1
    QPushButton* m_pCancel = nullptr; // control 2
    QTimer* m_pTimer = nullptr;       // timer 1
    int m_nStatusSets = 0;
    bool m_bTimerAvailable = true;
    bool m_bInitQueued = false;
    bool m_bEnded = false;
};
