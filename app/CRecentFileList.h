#pragma once
// The recent-file list: the last files opened or saved, newest first, kept in the profile
// under "Recent File List" as File1 ... FileN.
#include <QString>
#include <QStringList>

class CRecentFileList {
public:
    explicit CRecentFileList(int nSize = 4);

    // Puts the file at the top (moving it there if listed).
    void Add(const QString& strPath);
    void Remove(int nIndex);
    int GetSize() const { return m_nSize; }
    const QStringList& GetFiles() const { return m_Files; }
    // The menu text of entry nIndex: "&1 name" (file name alone when the file lies in the
    // current folder, else the whole path).
    QString GetDisplayName(int nIndex) const;

    void ReadList();
    void WriteList() const;

private:
    int m_nSize;
    QStringList m_Files;
};
