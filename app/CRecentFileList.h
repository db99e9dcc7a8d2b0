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
    // current folder, else the path abbreviated to MAX_DISPLAY_LENGTH characters).
    QString GetDisplayName(int nIndex) const;
    // A path as the menu shows it: the home folder as "~", then, while it is longer than nMax,
    // the folders after the root replaced from the left by "..." ("~/.../Sommer/strand.bmp");
    // the file name alone when even that is too long.
    static QString AbbreviateName(const QString& strPath, const QString& strHome, int nMax);
    static constexpr int MAX_DISPLAY_LENGTH = 30;

    void ReadList();
    void WriteList() const;

private:
    int m_nSize;
    QStringList m_Files;
};
