#include "app/CQuillomatApp.h"

#include <QApplication>
#include <QPageSetupDialog>
#include <QPrinter>

#include "app/CAboutDlg.h"
#include "app/CBmpDocManager.h"
#include "app/CDocTemplate.h"
#include "app/CMainFrame.h"
#include "app/CQuillomatDoc.h"
#include "app/CQuillomatView.h"
#include "res/Resource.h"
#include "res/StringTable.h"

namespace {
CQuillomatApp* g_pApp = nullptr;
}

CDocManager* CQuillomatApp::GetDocManager() const
{
    return m_pDocManager.get();
}

CQuillomatApp::CQuillomatApp()
{
    g_pApp = this;
    // Only the name: with a display name set, Qt would append " — Quillomat" to every window
    // title the windowing system shows, and the titles are the program's own.
    QApplication::setApplicationName(AppTitle());
}

CQuillomatApp::~CQuillomatApp()
{
    if (m_pMainFrame) {
        // Documents go without asking when the application object itself goes.
        if (m_pDocManager)
            m_pDocManager->CloseAllDocuments();
        m_pMainFrame.reset();
        // Documents leave with their last window; let them go now, the event loop is over.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    if (g_pApp == this)
        g_pApp = nullptr;
}

CQuillomatApp* CQuillomatApp::GetApp()
{
    return g_pApp;
}

QString CQuillomatApp::AppTitle()
{
    return QString::fromUtf8(LoadResString(AFX_IDS_APP_TITLE));
}

bool CQuillomatApp::InitApplication()
{
    m_pDocManager = std::make_unique<CBmpDocManager>();
    return m_pDocManager != nullptr;
}

bool CQuillomatApp::InitInstance(const QStringList& args)
{
    if (!m_pDocManager && !InitApplication())
        return false;
    m_RecentFiles.ReadList();

    m_pTemplate = new CDocTemplate(
        IDR_QUILLOTYPE, std::string(LoadResString(IDR_QUILLOTYPE)), [] { return new CQuillomatDoc; },
        [](CDocument* pDoc) -> CView* { return new CQuillomatView(static_cast<CQuillomatDoc*>(pDoc)); }, this);
    m_pDocManager->AddDocTemplate(m_pTemplate);

    m_pMainFrame = std::make_unique<CMainFrame>();
    m_pMainFrame->Create();
    m_pTemplate->SetMainFrame(m_pMainFrame.get());
    m_pMainFrame->show();

    // The command line: nothing makes a new picture (and so a reception), a file opens it.
    QStringList files;
    for (const QString& strArg : args)
        if (!strArg.startsWith(QLatin1Char('-')) || strArg.size() == 1)
            files << strArg;
    if (files.isEmpty()) {
        if (!m_pDocManager->OnFileNew())
            return false;
    } else {
        if (!m_pDocManager->OpenDocumentFile(files.first()))
            return false;
    }
    m_pMainFrame->UpdateCommandUI();
    return true;
}

void CQuillomatApp::AddToRecentFileList(const QString& strPath)
{
    m_RecentFiles.Add(strPath);
}

QPrinter* CQuillomatApp::GetPrinter()
{
    if (!m_pPrinter)
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_pPrinter.get();
}

std::optional<bool> CQuillomatApp::OnUpdateCommand(uint16_t nId) const
{
    switch (nId) {
    case ID_FILE_NEW:
    case ID_FILE_READGB:
    case ID_FILE_OPEN:
    case ID_FILE_PRINT_SETUP:
    case ID_APP_ABOUT:
    case ID_HELP_ABOUT:
    case ID_APP_EXIT: return true;
    default: break;
    }
    if (nId >= ID_FILE_MRU_FILE1 && nId <= ID_FILE_MRU_FILE4)
        return nId - ID_FILE_MRU_FILE1 < m_RecentFiles.GetFiles().size();
    return std::nullopt;
}

bool CQuillomatApp::OnCommand(uint16_t nId)
{
    switch (nId) {
    case ID_FILE_NEW:
    case ID_FILE_READGB: OnFileNew(); return true;
    case ID_FILE_OPEN: OnFileOpen(); return true;
    case ID_FILE_PRINT_SETUP: OnFilePrintSetup(); return true;
    case ID_APP_ABOUT:
    case ID_HELP_ABOUT: OnAppAbout(); return true;
    case ID_APP_EXIT: OnAppExit(); return true;
    default: break;
    }
    if (nId >= ID_FILE_MRU_FILE1 && nId <= ID_FILE_MRU_FILE4) {
        OnOpenRecentFile(nId);
        return true;
    }
    return false;
}

void CQuillomatApp::OnFileNew()
{
    m_pDocManager->OnFileNew();
}

void CQuillomatApp::OnFileOpen()
{
    m_pDocManager->OnFileOpen();
}

void CQuillomatApp::OnFilePrintSetup()
{
    QPageSetupDialog dialog(GetPrinter(), m_pMainFrame.get());
    dialog.exec();
}

void CQuillomatApp::OnAppAbout()
{
    CAboutDlg dialog(m_pMainFrame.get());
    dialog.exec();
}

bool CQuillomatApp::CanExit()
{
    return m_pDocManager->SaveAllModified();
}

void CQuillomatApp::OnAppExit()
{
    // The main window asks about the documents as it closes.
    if (m_pMainFrame)
        m_pMainFrame->close();
}

void CQuillomatApp::OnOpenRecentFile(uint16_t nId)
{
    int nIndex = nId - ID_FILE_MRU_FILE1;
    if (nIndex < 0 || nIndex >= m_RecentFiles.GetFiles().size())
        return;
    QString strPath = m_RecentFiles.GetFiles()[nIndex];
    const CDocument* pDoc = m_pDocManager->OpenDocumentFile(strPath);
    if (!pDoc || pDoc->IsUnreadFile())
        m_RecentFiles.Remove(nIndex);  // gone or unreadable: off the list
}
