#include "app/CRecentFileList.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include "dialogs/Profile.h"

namespace {
const QString SECTION = QStringLiteral("Recent File List");
}

CRecentFileList::CRecentFileList(int nSize) : m_nSize(nSize) {}

void CRecentFileList::Add(const QString& strPath)
{
    QString strAbsolute = QFileInfo(strPath).absoluteFilePath();
    m_Files.removeAll(strAbsolute);
    m_Files.prepend(strAbsolute);
    while (m_Files.size() > m_nSize)
        m_Files.removeLast();
    WriteList();
}

void CRecentFileList::Remove(int nIndex)
{
    if (nIndex >= 0 && nIndex < m_Files.size()) {
        m_Files.removeAt(nIndex);
        WriteList();
    }
}

QString CRecentFileList::GetDisplayName(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_Files.size())
        return {};
    QFileInfo info(m_Files[nIndex]);
    QString strName = info.absolutePath() == QDir::currentPath()
                          ? info.fileName()
                          : AbbreviateName(info.absoluteFilePath(), QDir::homePath(), MAX_DISPLAY_LENGTH);
    strName.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(nIndex + 1).arg(strName);
}

QString CRecentFileList::AbbreviateName(const QString& strPath, const QString& strHome, int nMax)
{
    const QChar cSep = QLatin1Char('/');
    QString strShort = strPath;
    if (strHome.size() > 1 && (strPath == strHome || strPath.startsWith(strHome + cSep)))
        strShort = QLatin1Char('~') + strPath.mid(strHome.size());
    if (strShort.size() <= nMax)
        return strShort;
    const QString strRoot = strShort.startsWith(QStringLiteral("~/")) ? QStringLiteral("~/")
                            : strShort.startsWith(cSep)               ? QString(cSep)
                                                                      : QString();
    QStringList folders = strShort.mid(strRoot.size()).split(cSep);
    const QString strName = folders.takeLast();
    const QString strElided = strRoot + QStringLiteral("...") + cSep;
    if (strElided.size() + strName.size() > nMax)
        return strName;
    // Folders go from the left until the rest fits behind the root and "...".
    while (!folders.isEmpty()) {
        folders.removeFirst();
        const QString strTail = folders.isEmpty() ? strName : folders.join(cSep) + cSep + strName;
        if (strElided.size() + strTail.size() <= nMax)
            return strElided + strTail;
    }
    return strElided + strName;
}

void CRecentFileList::ReadList()
{
    m_Files.clear();
    QSettings settings = OpenProfile();
    settings.beginGroup(SECTION);
    for (int i = 1; i <= m_nSize; ++i) {
        QString strPath = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!strPath.isEmpty() && !m_Files.contains(strPath))
            m_Files.append(strPath);
    }
}

void CRecentFileList::WriteList() const
{
    QSettings settings = OpenProfile();
    settings.beginGroup(SECTION);
    for (int i = 1; i <= m_nSize; ++i) {
        QString strKey = QStringLiteral("File%1").arg(i);
        if (i <= m_Files.size())
            settings.setValue(strKey, m_Files[i - 1]);
        else
            settings.remove(strKey);
    }
}
