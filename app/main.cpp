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

    // A start that fails (no main window, a file on the command line that cannot be opened)
    // has already told the user; the exit status tells a calling script.
    CQuillomatApp theApp;
    if (!theApp.InitApplication())
        return 1;
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (!theApp.InitInstance(args))
        return 1;
    return qapp.exec();
}
