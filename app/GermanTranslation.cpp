#include "app/GermanTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

bool InstallGermanTranslation(QCoreApplication& app)
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString strDir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* pBase = new QTranslator(&app);
    bool bLoaded = pBase->load(QStringLiteral("qtbase_de"), strDir);
    if (bLoaded)
        app.installTranslator(pBase);
    else
        delete pBase;
    return bLoaded;
}
