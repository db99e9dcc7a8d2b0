#include "app/CDocTemplate.h"

#include "app/CChildFrame.h"
#include "app/CDocument.h"
#include "app/CMainFrame.h"
#include "app/CView.h"
#include "res/StringTable.h"

CDocTemplate::CDocTemplate(uint16_t nResourceId, std::string strDocString, DocFactory fnDoc, ViewFactory fnView,
                           QObject* pParent)
    : QObject(pParent), m_nResourceId(nResourceId), m_strDocString(std::move(strDocString)),
      m_fnDoc(std::move(fnDoc)), m_fnView(std::move(fnView))
{
}

CDocTemplate::~CDocTemplate()
{
    for (CDocument* pDoc : m_Docs)
        pDoc->SetDocTemplate(nullptr);
}

QString CDocTemplate::GetDocString(int nIndex) const
{
    return QString::fromStdString(DocStringField(m_strDocString, static_cast<DocStringIndex>(nIndex)));
}

void CDocTemplate::SetDefaultTitle(CDocument* pDoc)
{
    QString strName = GetDocString(static_cast<int>(DocStringIndex::DocName));
    pDoc->SetTitle(strName + QString::number(++m_nUntitledCount));
}

CDocument* CDocTemplate::OpenDocumentFile(const QString& strPath, bool bMakeVisible)
{
    CDocument* pDoc = m_fnDoc();
    if (!pDoc)
        return nullptr;
    pDoc->SetDocTemplate(this);
    m_Docs.append(pDoc);
    if (strPath.isEmpty()) {
        SetDefaultTitle(pDoc);
        if (!pDoc->OnNewDocument()) {
            delete pDoc;
            return nullptr;
        }
    } else {
        if (!pDoc->OnOpenDocument(strPath)) {
            delete pDoc;
            return nullptr;
        }
        // An unreadable file gives an untitled document: "Speichern" asks for a name, and the
        // file stays off the recent-file list.
        if (pDoc->IsUnreadFile())
            SetDefaultTitle(pDoc);
        else
            pDoc->SetPathName(strPath);
    }
    CChildFrame* pFrame = CreateNewFrame(pDoc);
    if (!pFrame) {
        delete pDoc;
        return nullptr;
    }
    if (bMakeVisible)
        pFrame->show();
    return pDoc;
}

CChildFrame* CDocTemplate::CreateNewFrame(CDocument* pDoc)
{
    if (!m_pMainFrame || !pDoc)
        return nullptr;
    CView* pView = m_fnView(pDoc);
    if (!pView)
        return nullptr;
    CChildFrame* pFrame = m_pMainFrame->CreateChildFrame(pView);
    pView->OnInitialUpdate();
    return pFrame;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc)
{
    m_Docs.removeAll(pDoc);
}
