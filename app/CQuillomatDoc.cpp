#include "app/CQuillomatDoc.h"

#include "bitmap/PictureFile.h"

CQuillomatDoc::CQuillomatDoc(QObject* pParent) : CDocument(pParent) {}

CQuillomatDoc::~CQuillomatDoc() = default;

bool CQuillomatDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

bool CQuillomatDoc::Serialize(const std::filesystem::path& path, bool bStoring)
{
    // A name ending in ".png" is stored as PNG, any other as a Windows bitmap; a file is read
    // as what its first bytes say it is.
    if (bStoring)
        return WritePictureFile(m_Dib, path);
    return ReadPictureFile(m_Dib, path);
}
