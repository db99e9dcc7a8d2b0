#include "app/CQuillomatDoc.h"

#include "bitmap/PictureFile.h"
#include "common/MessageSink.h"

CQuillomatDoc::CQuillomatDoc(QObject* pParent) : CDocument(pParent) {}

CQuillomatDoc::~CQuillomatDoc() = default;

bool CQuillomatDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

bool CQuillomatDoc::Serialize(const std::filesystem::path& path, bool bStoring)
{
    // A name ending in ".png" is stored as PNG, any other as a Windows bitmap; a file is read
    // as what its first bytes say it is. The picture class's message, if any, is shown here,
    // before the document goes on.
    if (bStoring)
        return ShowResult(WritePictureFile(m_Dib, path));
    return ShowResult(ReadPictureFile(m_Dib, path));
}
