// The desktop program: Quillomat.
#include <QApplication>

#include "app/CQuillomatApp.h"
#include "app/GermanTranslation.h"
#include "app/MessageBoxSink.h"

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    InstallGermanTranslation(qapp);
    InstallMessageBoxSink();

    CQuillomatApp theApp;
    if (!theApp.InitApplication())
        return 0;
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (!theApp.InitInstance(args))
        return 0;
    return qapp.exec();
}
