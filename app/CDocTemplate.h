#pragma once
// The document template: which document, frame and view make up a picture window, and the
// strings that name its documents ("Quillo1", "Quillo2", ...).
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <string>

class CDocument;
class CChildFrame;
class CView;
class CMainFrame;

class CDocTemplate : public QObject {
    Q_OBJECT
public:
    using DocFactory = std::function<CDocument*()>;
    using ViewFactory = std::function<CView*(CDocument*)>;

    // strDocString: the seven fields separated by "\n" (window title, document name, name for
    // "new", filter name, filter extension, file type id, file type name).
    CDocTemplate(uint16_t nResourceId, std::string strDocString, DocFactory fnDoc, ViewFactory fnView,
                 QObject* pParent = nullptr);
    ~CDocTemplate() override;

    uint16_t GetResourceId() const { return m_nResourceId; }
    QString GetDocString(int nIndex) const;

    // Empty path: a new document titled with the next running number; otherwise the file.
    // Returns the document, or null when it could not be made or the file not opened.
    CDocument* OpenDocumentFile(const QString& strPath, bool bMakeVisible = true);
    // A further frame and view on a document ("Neues Fenster").
    CChildFrame* CreateNewFrame(CDocument* pDoc);
    // "Quillo" + the next running number.
    void SetDefaultTitle(CDocument* pDoc);

    const QList<CDocument*>& GetDocuments() const { return m_Docs; }
    void RemoveDocument(CDocument* pDoc);

    void SetMainFrame(CMainFrame* pFrame) { m_pMainFrame = pFrame; }

private:
    uint16_t m_nResourceId;
    std::string m_strDocString;
    DocFactory m_fnDoc;
    ViewFactory m_fnView;
    int m_nUntitledCount = 0;
    QList<CDocument*> m_Docs;
    CMainFrame* m_pMainFrame = nullptr;
};
