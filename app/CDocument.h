#pragma once
// A document of the desktop program: its title and file, the modified flag, the views that show
// it, and the way it is saved, asked about and closed.
#include <QList>
#include <QObject>
#include <QString>

#include <filesystem>

class CView;
class CDocTemplate;

class CDocument : public QObject {
    Q_OBJECT
public:
    explicit CDocument(QObject* pParent = nullptr);
    ~CDocument() override;

    // A new, empty document; false refuses it.
    virtual bool OnNewDocument();
    // Loads the file through Serialize. False only when the file cannot be opened at all; a file
    // that opens but cannot be read gives an empty document that stands for no file
    // (IsUnreadFile).
    virtual bool OnOpenDocument(const QString& strPath);
    // The last OnOpenDocument found a file it could not read: the document is not that file's,
    // so it is never saved over it without the user naming it again.
    bool IsUnreadFile() const { return m_bUnreadFile; }
    // Stores the document through Serialize; false when that failed (nothing is changed then).
    virtual bool OnSaveDocument(const QString& strPath);
    // Loads (bStoring false) or stores the document's content; false when that failed.
    virtual bool Serialize(const std::filesystem::path& path, bool bStoring) = 0;
    virtual void DeleteContents() {}

    virtual bool IsModified() const { return m_bModified; }
    virtual void SetModifiedFlag(bool bModified = true);

    const QString& GetTitle() const { return m_strTitle; }
    void SetTitle(const QString& strTitle);
    const QString& GetPathName() const { return m_strPathName; }
    // Takes the file as the document's: the title becomes the file name; bAddToMru puts it on
    // the recent-file list.
    void SetPathName(const QString& strPath, bool bAddToMru = true);

    CDocTemplate* GetDocTemplate() const { return m_pTemplate; }
    void SetDocTemplate(CDocTemplate* pTemplate) { m_pTemplate = pTemplate; }

    // The views, in the order they were added.
    const QList<CView*>& GetViews() const { return m_Views; }
    void AddView(CView* pView);
    void RemoveView(CView* pView);
    // Repaints every view.
    void UpdateAllViews();

    // "Speichern": the file it has, else asks for one. False when nothing was saved.
    bool DoFileSave();
    // Saves under strPath, or asks for a name when it is empty (bReplace: the document takes the new name).
    bool DoSave(const QString& strPath, bool bReplace = true);
    // Asks whether to save a modified document: Ja saves, Nein discards, Abbrechen returns false.
    virtual bool SaveModified();
    // Closes every window of the document; the document goes with its last view.
    void OnCloseDocument();

signals:
    void TitleChanged();
    void ModifiedChanged(bool bModified);

private:
    QString m_strTitle;
    QString m_strPathName;
    bool m_bModified = false;
    bool m_bUnreadFile = false;
    CDocTemplate* m_pTemplate = nullptr;
    QList<CView*> m_Views;
};
