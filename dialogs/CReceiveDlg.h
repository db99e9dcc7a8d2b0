#pragma once
// The receive dialog (template 130, "Bild vom GB einlesen"): the Qt face of CReceiveSession.
// The session holds the block table, the engine state and the link module; this class gives it
// a status line (control 1032), message boxes, the 20 ms timer (timer 1) and the way out.
//
// Keep receiving (control 1035, profile "Receive/KeepReceiving", the folder in
// "Receive/Folder"): each picture that arrives whole (in all-prints mode each series) is saved
// at once as the next free Bild-NNNN.png in the folder, the dialog says which file it wrote and
// waits for the next print with a fresh session on the same link; the last picture is handed
// to the view as usual when the user closes the dialog.
//
// The link (control 1039, "Verbindung:"): the printer port the environment or the profile
// names, then each serial device present that a USB printer emulator shows up as. Choosing one
// opens it in place of the link before, as long as no print has arrived, and remembers it in
// the profile ("Link/Port"); a link that cannot be opened says why. QUILLOMAT_LINK set fixes
// the link: the list shows it and cannot be changed.
#include <QDialog>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "reception/ReceiveSession.h"

class QCheckBox;
class QComboBox;
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

    // After exec(): the byte count and the first 20000 picture bytes; when keep receiving saved
    // pictures and the print after them brought no data, the last picture saved.
    CReceivedPicture GetReceivedPicture() const;
    // What the picture handed over amounts to (the session's verdict).
    CReceptionVerdict GetVerdict() const;

    // Keep receiving: on or off, the folder, and the files written in this dialog, in order.
    bool IsKeepReceiving() const;
    void SetKeepReceiving(bool bKeep);
    std::filesystem::path GetKeepFolder() const;
    void SetKeepFolder(const std::filesystem::path& folder);
    const std::vector<std::filesystem::path>& GetSavedFiles() const { return m_SavedFiles; }
    // The name every file of the series starts with, and its ending.
    static constexpr const char* KEEP_FILE_PREFIX = "Bild-";
    static constexpr const char* KEEP_FILE_EXTENSION = ".png";

    CReceiveSession& GetSession() { return *m_pSession; }

    // All prints with each image in a window of its own (control 1041, profile
    // "Receive/SplitImages"): set, and the session collected all prints.
    bool IsSplitImages() const;

    // The link string the dialog listens on now (empty: the port given to the constructor).
    const std::string& GetLinkSpec() const { return m_strLinkSpec; }
    // The serial devices the link list offers: those /dev holds, or the list given here (tests
    // and screenshots); nullopt goes back to /dev. Read when a dialog is made.
    static void SetOfferedDevices(std::optional<std::vector<std::string>> devices);

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
    void MakeSession();
    // Opens a link string for the sessions to come; m_strLinkError says why it could not.
    void OpenLinkSpec(const std::string& strSpec);
    void FillLinkChoice();
    // The user chose another link: the session on the old one goes, one on the new one starts.
    void OnLinkChosen(int nIndex);
    // Keep receiving after a whole picture: saves it; false (with the message shown) when it
    // could not be saved.
    bool SaveReceivedPicture();
    // The next print: a fresh session on the same link.
    void StartNextSession();
    void ChooseKeepFolder();
    void ShowKeepFolder();
    // Ends the dialog for good.
    void Finish(int nResult);

    std::unique_ptr<CReceiveSession> m_pSession;
    std::shared_ptr<PortIo> m_pPort;  // the link, kept for the sessions after the first
    std::shared_ptr<IPacketSource> m_pSource;  // or the printer device a serial: or file: link names
    std::filesystem::path m_LogPath;
    QCheckBox* m_pKeep = nullptr;        // control 1035: keep receiving
    QLabel* m_pKeepFolder = nullptr;     // control 1036: the folder
    QPushButton* m_pChooseFolder = nullptr;  // control 1037: "Ordner..."
    QLabel* m_pSaved = nullptr;          // control 1038: the file written last
    std::vector<std::filesystem::path> m_SavedFiles;
    CReceivedPicture m_LastSaved;
    bool m_bBetweenPrints = false;       // a picture was saved, the next session not yet made
    std::string m_strLinkError;       // a link string that could not be opened
    QLabel* m_pStatus = nullptr;      // control 1032
    QCheckBox* m_pStrict = nullptr;   // control 1033: strict checking (profile "Receive/Strict")
    QCheckBox* m_pAllPrints = nullptr;  // control 1034: all prints (profile "Receive/AllPrints")
    QCheckBox* m_pSplit = nullptr;      // control 1041: each image in its own window
    QComboBox* m_pLink = nullptr;       // control 1039: the link
    std::string m_strLinkSpec;          // the link string opened (empty: the port given)
    QPushButton* m_pOk = nullptr;     // control 1
    QPushButton* m_pCancel = nullptr; // control 2
    QTimer* m_pTimer = nullptr;       // timer 1
    int m_nStatusSets = 0;
    bool m_bTimerAvailable = true;
    bool m_bInitQueued = false;
    bool m_bInitDone = false;
    bool m_bEnded = false;
};
