#pragma once
// The application object: start-up (document manager, profile, recent files, template, main
// window, command line), the application's own commands and the printer the program prints on.
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "app/CRecentFileList.h"

class CDocManager;
class CBmpDocManager;
class CDocTemplate;
class CMainFrame;
class QPrinter;

class CQuillomatApp : public QObject {
    Q_OBJECT
public:
    CQuillomatApp();
    ~CQuillomatApp() override;

    static CQuillomatApp* GetApp();
    // "Quillomat", string 57344.
    static QString AppTitle();

    // Installs the program's document manager.
    bool InitApplication();
    // The profile, the recent-file list, the template, the main window and the command line
    // (arguments without the program name). False ends the program.
    bool InitInstance(const QStringList& args);

    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }
    CDocManager* GetDocManager() const;
    // The program's own manager, with the save dialog that offers a size.
    CBmpDocManager* GetBmpDocManager() const { return m_pDocManager.get(); }
    CDocTemplate* GetDocTemplate() const { return m_pTemplate; }
    CRecentFileList& GetRecentFileList() { return m_RecentFiles; }
    void AddToRecentFileList(const QString& strPath);
    // The printer of "Druckereinrichtung", printing and the preview; made when first needed.
    QPrinter* GetPrinter();

    bool OnCommand(uint16_t nId);
    std::optional<bool> OnUpdateCommand(uint16_t nId) const;
    // Asks about every modified document; true when the program may end.
    bool CanExit();

    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppAbout();
    void OnAppExit();
    void OnOpenRecentFile(uint16_t nId);

private:
    std::unique_ptr<CBmpDocManager> m_pDocManager;
    CDocTemplate* m_pTemplate = nullptr;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<QPrinter> m_pPrinter;
    CRecentFileList m_RecentFiles{4};
};
