// The desktop program's tests run on Qt's offscreen platform, in a folder of their own, with a
// HOME and settings folder of their own, so they never touch the user's settings or Tarvo.log.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include "app/GermanTranslation.h"

int main(int argc, char** argv)
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quillomat-app-test-XXXXXX"));
    if (!dir.isValid())
        return 2;
    setenv("HOME", dir.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (dir.path() + QStringLiteral("/config")).toLocal8Bit().constData(), 1);
    setenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit().constData(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QUILLOMAT_LINK", "sim", 1);
    if (chdir(dir.path().toLocal8Bit().constData()) != 0)
        return 2;

    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    InstallGermanTranslation(app);
    return RUN_ALL_TESTS();
}
