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
    if (bStoring) {
        // A picture without rows holds nothing worth a file, and would stand in for one.
        if (m_Dib.IsEmpty() || m_Dib.GetDimensions().cy == 0) {
            ShowMessage(DOC_MSG_NO_ROWS);
            return false;
        }
        return ShowResult(WritePictureFile(m_Dib, path));
    }
    return ShowResult(ReadPictureFile(m_Dib, path));
}
