// Takes the README's pictures of the desktop program: the main window with the picture the
// simulated console prints, and its "Seitenansicht". Run under an X server (xvfb-run, see
// `make screenshots`). Usage: app_screenshots OUTPUT-FOLDER
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include "app/CMainFrame.h"
#include "app/CPreviewDlg.h"
#include "app/CQuillomatApp.h"
#include "app/CQuillomatDoc.h"
#include "app/CQuillomatView.h"
#include "app/GermanTranslation.h"
#include "app/MessageBoxSink.h"
#include "res/Resource.h"

namespace {

int g_nFailures = 0;

bool Settle(const std::function<bool()>& fnReady, int nMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < nMs && !fnReady())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return fnReady();
}

void Save(QWidget& widget, const QString& strPath)
{
    Settle([] { return false; }, 300);
    if (!widget.grab().save(strPath)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(strPath));
        ++g_nFailures;
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(strPath));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: app_screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    const QString strOut = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    // A home, settings and Tarvo.log of its own: the user's are not touched.
    QTemporaryDir work;
    setenv("HOME", work.path().toLocal8Bit().constData(), 1);
    setenv("XDG_CONFIG_HOME", (work.path() + QStringLiteral("/config")).toLocal8Bit().constData(), 1);
    setenv("QUILLOMAT_LINK", "sim", 0);
    if (!work.isValid() || chdir(work.path().toLocal8Bit().constData()) != 0)
        return 1;

    QApplication qapp(argc, argv);
    InstallGermanTranslation(qapp);
    InstallMessageBoxSink();
    CQuillomatApp app;
    if (!app.InitApplication() || !app.InitInstance({}))
        return 1;
    CMainFrame& frame = *app.GetMainFrame();
    frame.resize(640, 440);
    const bool bReceived = Settle([&] {
        auto* pView = qobject_cast<CQuillomatView*>(frame.GetActiveView());
        return pView && !pView->IsReceptionPending() && !pView->GetDocument()->GetDib().IsEmpty();
    }, 120000);
    if (!bReceived) {
        std::fprintf(stderr, "no picture arrived from the simulated console\n");
        return 1;
    }
    Save(frame, QDir(strOut).filePath(QStringLiteral("main-window.png")));

    QTimer::singleShot(0, [&] {
        Settle([] { return qobject_cast<CPreviewDlg*>(QApplication::activeModalWidget()) != nullptr; }, 10000);
        auto* pPreview = qobject_cast<CPreviewDlg*>(QApplication::activeModalWidget());
        if (!pPreview) {
            std::fprintf(stderr, "the preview did not open\n");
            ++g_nFailures;
            return;
        }
        Save(*pPreview, QDir(strOut).filePath(QStringLiteral("print-preview.png")));
        pPreview->reject();
    });
    frame.OnCommand(ID_FILE_PRINT_PREVIEW);
    return g_nFailures == 0 ? 0 : 1;
}
