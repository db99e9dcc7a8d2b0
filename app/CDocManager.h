#pragma once
// The document manager: the templates, "new" and "open", the question for modified documents
// before the program ends, and the file-name prompt (which a program may replace).
#include <QList>
#include <QString>
#include <QStringList>

class CDocTemplate;
class CDocument;

class CDocManager {
public:
    virtual ~CDocManager();

    void AddDocTemplate(CDocTemplate* pTemplate);
    const QList<CDocTemplate*>& GetTemplates() const { return m_Templates; }

    // A new document of the (only) template.
    CDocument* OnFileNew();
    // Asks for a file and opens it.
    CDocument* OnFileOpen();
    // Opens the file, or activates the window of a document that has it open already.
    virtual CDocument* OpenDocumentFile(const QString& strPath);

    QList<CDocument*> GetDocuments() const;
    // Asks about every modified document; false when the user cancelled.
    bool SaveAllModified();
    // Closes every document without asking.
    void CloseAllDocuments();

    // Asks for a file name: strFileName is offered and receives the choice. nTitleId names the
    // dialog's title (AFX_IDS_OPENFILE or AFX_IDS_SAVEFILE). True when the user confirmed.
    virtual bool DoPromptFileName(QString& strFileName, uint16_t nTitleId, bool bOpenFileDialog,
                                  CDocTemplate* pTemplate);

private:
    QList<CDocTemplate*> m_Templates;
};
