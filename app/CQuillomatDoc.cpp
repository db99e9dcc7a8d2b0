#include "app/CQuillomatDoc.h"

CQuillomatDoc::CQuillomatDoc(QObject* pParent) : CDocument(pParent) {}

CQuillomatDoc::~CQuillomatDoc() = default;

bool CQuillomatDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

bool CQuillomatDoc::Serialize(const std::filesystem::path& path, bool bStoring)
{
    // Whatever name or filter was chosen, the picture is stored as a Windows bitmap.
    if (bStoring)
        return m_Dib.WriteFile(path);
    return m_Dib.ReadFile(path);
}
