#include "app/CDocument.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

#include "app/CChildFrame.h"
#include "app/CDocManager.h"
#include "app/CDocTemplate.h"
#include "app/CQuillomatApp.h"
#include "app/CView.h"
#include "res/Resource.h"

CDocument::CDocument(QObject* pParent) : QObject(pParent) {}

CDocument::~CDocument()
{
    if (m_pTemplate)
        m_pTemplate->RemoveDocument(this);
}

bool CDocument::OnNewDocument()
{
    DeleteContents();
    m_strPathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnOpenDocument(const QString& strPath)
{
    QFileInfo info(strPath);
    if (!info.exists() || !info.isFile() || !info.isReadable()) {
        QMessageBox::warning(nullptr, CQuillomatApp::AppTitle(),
                             QStringLiteral("Die Datei %1 kann nicht geöffnet werden.").arg(QDir::toNativeSeparators(strPath)),
                             QMessageBox::Ok);
        return false;
    }
    DeleteContents();
    // A file that is no readable picture still opens, with an empty picture (the reader has said
    // why), but as no file's document: what it will hold is not what the file holds.
    m_bUnreadFile = !Serialize(std::filesystem::path(strPath.toStdString()), false);
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnSaveDocument(const QString& strPath)
{
    if (!Serialize(std::filesystem::path(strPath.toStdString()), true))
        return false;  // the old file is whole and the document keeps its changes
    SetModifiedFlag(false);
    return true;
}

void CDocument::SetModifiedFlag(bool bModified)
{
    if (m_bModified == bModified)
        return;
    m_bModified = bModified;
    emit ModifiedChanged(bModified);
}

void CDocument::SetTitle(const QString& strTitle)
{
    m_strTitle = strTitle;
    emit TitleChanged();
}

void CDocument::SetPathName(const QString& strPath, bool bAddToMru)
{
    QFileInfo info(strPath);
    m_strPathName = info.absoluteFilePath();
    SetTitle(info.fileName());
    if (bAddToMru && CQuillomatApp::GetApp())
        CQuillomatApp::GetApp()->AddToRecentFileList(m_strPathName);
}

void CDocument::AddView(CView* pView)
{
    if (!m_Views.contains(pView))
        m_Views.append(pView);
    emit TitleChanged();
}

void CDocument::RemoveView(CView* pView)
{
    m_Views.removeAll(pView);
    emit TitleChanged();
    if (m_Views.isEmpty()) {
        // The document goes with its last view; from now on nobody finds it open.
        if (m_pTemplate)
            m_pTemplate->RemoveDocument(this);
        m_pTemplate = nullptr;
        deleteLater();
    }
}

void CDocument::UpdateAllViews()
{
    for (CView* pView : m_Views)
        pView->OnUpdate();
}

bool CDocument::DoFileSave()
{
    return DoSave(m_strPathName, true);
}

bool CDocument::DoSave(const QString& strPath, bool bReplace)
{
    QString strName = strPath;
    if (strName.isEmpty()) {
        strName = m_strPathName.isEmpty() ? m_strTitle : m_strPathName;
        CDocManager* pManager = CQuillomatApp::GetApp() ? CQuillomatApp::GetApp()->GetDocManager() : nullptr;
        if (!pManager || !pManager->DoPromptFileName(strName, AFX_IDS_SAVEFILE, false, m_pTemplate))
            return false;
    }
    if (!OnSaveDocument(strName))
        return false;
    if (bReplace)
        SetPathName(strName);
    return true;
}

bool CDocument::SaveModified()
{
    if (!IsModified())
        return true;
    QString strName = m_strTitle;
    QMessageBox box(QMessageBox::Warning, CQuillomatApp::AppTitle(),
                    QStringLiteral("Änderungen in %1 speichern?").arg(strName),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return DoFileSave();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void CDocument::OnCloseDocument()
{
    const QList<CView*> views = m_Views;
    for (CView* pView : views) {
        if (CChildFrame* pFrame = pView->GetParentFrame())
            pFrame->CloseWithoutAsking();
    }
}
