#include "app/CDocManager.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>

#include "app/CChildFrame.h"
#include "app/CDocTemplate.h"
#include "app/CDocument.h"
#include "app/CView.h"
#include "res/Resource.h"

CDocManager::~CDocManager() = default;

void CDocManager::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate && !m_Templates.contains(pTemplate))
        m_Templates.append(pTemplate);
}

CDocument* CDocManager::OnFileNew()
{
    if (m_Templates.isEmpty())
        return nullptr;
    return m_Templates.first()->OpenDocumentFile(QString());
}

CDocument* CDocManager::OnFileOpen()
{
    QString strName;
    if (!DoPromptFileName(strName, AFX_IDS_OPENFILE, true, nullptr))
        return nullptr;
    return OpenDocumentFile(strName);
}

CDocument* CDocManager::OpenDocumentFile(const QString& strPath)
{
    if (m_Templates.isEmpty() || strPath.isEmpty())
        return nullptr;
    QString strAbsolute = QFileInfo(strPath).absoluteFilePath();
    for (CDocument* pDoc : GetDocuments()) {
        if (!pDoc->GetPathName().isEmpty() && pDoc->GetPathName() == strAbsolute) {
            if (!pDoc->GetViews().isEmpty())
                if (CChildFrame* pFrame = pDoc->GetViews().first()->GetParentFrame())
                    if (pFrame->mdiArea())
                        pFrame->mdiArea()->setActiveSubWindow(pFrame);
            return pDoc;
        }
    }
    return m_Templates.first()->OpenDocumentFile(strAbsolute);
}

QList<CDocument*> CDocManager::GetDocuments() const
{
    QList<CDocument*> docs;
    for (CDocTemplate* pTemplate : m_Templates)
        docs += pTemplate->GetDocuments();
    return docs;
}

bool CDocManager::SaveAllModified()
{
    for (CDocument* pDoc : GetDocuments())
        if (!pDoc->SaveModified())
            return false;
    return true;
}

void CDocManager::CloseAllDocuments()
{
    for (CDocument* pDoc : GetDocuments())
        pDoc->OnCloseDocument();
}

bool CDocManager::DoPromptFileName(QString& strFileName, uint16_t nTitleId, bool bOpenFileDialog, CDocTemplate*)
{
    QFileDialog dialog;
    dialog.setAcceptMode(bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setWindowTitle(nTitleId == AFX_IDS_OPENFILE ? QFileDialog::tr("Open") : QFileDialog::tr("Save As"));
    if (!strFileName.isEmpty())
        dialog.selectFile(strFileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    strFileName = dialog.selectedFiles().first();
    return true;
}
