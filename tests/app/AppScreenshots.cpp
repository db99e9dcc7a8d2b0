// Takes the README's pictures of the desktop program: the main window with the picture the
// simulated console prints, its "Seitenansicht", the picture zoomed 3×, "Speichern unter" with
// its size for PNG files, a series of three prints received in all-prints mode, and the status
// bar after a print that is not the console's whole picture. Run under an X server (xvfb-run, see
// `make screenshots`). Usage: app_screenshots OUTPUT-FOLDER
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <cstdlib>
#include <unistd.h>

#include "app/CMainFrame.h"
#include "app/CPreviewDlg.h"
#include "app/CQuillomatApp.h"
#include "app/CQuillomatDoc.h"
#include "app/CQuillomatView.h"
#include "app/GermanTranslation.h"
#include "app/MessageBoxSink.h"
#include "console/ConsolePicture.h"
#include "console/DefaultPicture.h"
#include "console/PrintSession.h"
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

bool ActivePictureArrived(CMainFrame& frame)
{
    auto* pView = qobject_cast<CQuillomatView*>(frame.GetActiveView());
    return pView && !pView->IsReceptionPending() && !pView->GetDocument()->GetDib().IsEmpty();
}

// A series as a game prints a page: a header band, the photo, a footer, each print with its own
// palette (the header inverted, the footer with colours 2 and 3 printed white) and the photo
// compressed; written as the packets the console sends, for the simulated console to replay.
std::string SeriesLink(const QString& strWork)
{
    std::vector<uint8_t> header(160 * 16), footer(160 * 16);
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 160; ++x) {
            header[static_cast<size_t>(y * 160 + x)] = static_cast<uint8_t>(((x / 8 + y / 8) % 2) ? 3 : (x / 40) % 4);
            footer[static_cast<size_t>(y * 160 + x)] = static_cast<uint8_t>((x / 4 + y / 4) % 4);
        }
    struct SPrint {
        const std::vector<uint8_t>& levels;
        uint8_t nPalette;
        bool bCompress;
    };
    const std::vector<uint8_t> photo = BuildDefaultPictureLevels();
    const SPrint prints[] = {{header, 0x1B, false}, {photo, 0xE4, true}, {footer, 0x07, false}};
    const std::string strFile = (strWork + QStringLiteral("/series.txt")).toStdString();
    std::ofstream out(strFile);
    for (const SPrint& print : prints) {
        const int32_t nRows = static_cast<int32_t>(print.levels.size() / 160);
        for (CPacket packet : BuildPrintSession(EncodeTiles(print.levels, nRows), print.bCompress)) {
            if (packet[2] == PRINTER_CMD_PRINT) {
                const uint8_t args[4] = {0x01, 0x00, print.nPalette, 0x40};
                packet = MakePacket(PRINTER_CMD_PRINT, 0, args);
            }
            for (size_t i = 0; i < packet.size(); ++i)
                out << (i ? " " : "") << std::hex << std::uppercase << (packet[i] >> 4) << (packet[i] & 15);
            out << "\n";
        }
    }
    return "sim:replay=" + strFile;
}

// The photo as one print without a lower margin: the console goes on with the next print, so
// the picture received is not its whole picture, and the status bar says so.
std::string DoubtfulLink(const QString& strWork)
{
    const std::string strFile = (strWork + QStringLiteral("/goes-on.txt")).toStdString();
    std::ofstream out(strFile);
    const std::vector<uint8_t> photo = BuildDefaultPictureLevels();
    for (CPacket packet : BuildPrintSession(EncodeTiles(photo, static_cast<int32_t>(photo.size() / 160)), false)) {
        if (packet[2] == PRINTER_CMD_PRINT) {
            const uint8_t args[4] = {0x01, 0x10, 0xE4, 0x40};
            packet = MakePacket(PRINTER_CMD_PRINT, 0, args);
        }
        for (size_t i = 0; i < packet.size(); ++i)
            out << (i ? " " : "") << std::hex << std::uppercase << (packet[i] >> 4) << (packet[i] & 15);
        out << "\n";
    }
    return "sim:replay=" + strFile;
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
    const bool bReceived = Settle([&] { return ActivePictureArrived(frame); }, 120000);
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

    // The picture three times as large: Ctrl++ twice; the window grows with it.
    frame.resize(720, 640);
    Settle([] { return false; }, 200);
    frame.OnCommand(ID_VIEW_ZOOM_IN);
    frame.OnCommand(ID_VIEW_ZOOM_IN);
    Save(frame, QDir(strOut).filePath(QStringLiteral("zoom.png")));

    // "Speichern unter" with a PNG name and the size 4×.
    QTimer::singleShot(0, [&] {
        Settle([] { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr; }, 10000);
        auto* pDialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!pDialog) {
            std::fprintf(stderr, "Speichern unter did not open\n");
            ++g_nFailures;
            return;
        }
        pDialog->resize(700, 420);
        for (const QString& strFilter : pDialog->nameFilters())
            if (strFilter.contains(QLatin1String("*.png")))
                pDialog->selectNameFilter(strFilter);
        if (auto* pEdit = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            pEdit->setText(QStringLiteral("Foto-gross.png"));
        if (auto* pSize = pDialog->findChild<QComboBox*>(QStringLiteral("saveScale")))
            pSize->setCurrentIndex(pSize->findText(QStringLiteral("4×")));
        Save(*pDialog, QDir(strOut).filePath(QStringLiteral("save-as-size.png")));
        pDialog->reject();
    });
    frame.OnCommand(ID_FILE_SAVE_AS);

    // All prints: a series of three prints from the simulated console in one picture window.
    QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).setValue(QStringLiteral("Receive/AllPrints"), true);
    setenv("QUILLOMAT_LINK", SeriesLink(work.path()).c_str(), 1);
    auto* pFirst = frame.GetActiveView();
    frame.resize(640, 560);
    frame.OnCommand(ID_FILE_NEW);
    if (!Settle([&] { return frame.GetActiveView() != pFirst && ActivePictureArrived(frame); }, 120000)) {
        std::fprintf(stderr, "no series arrived from the simulated console\n");
        return 1;
    }
    Save(frame, QDir(strOut).filePath(QStringLiteral("all-prints.png")));
    // A doubtful reception: the status bar tells it from an exact one, in the command line's words.
    QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).setValue(QStringLiteral("Receive/AllPrints"), false);
    setenv("QUILLOMAT_LINK", DoubtfulLink(work.path()).c_str(), 1);
    auto* pSeries = frame.GetActiveView();
    frame.resize(1100, 440);
    frame.OnCommand(ID_FILE_NEW);
    if (!Settle([&] { return frame.GetActiveView() != pSeries && ActivePictureArrived(frame); }, 120000)) {
        std::fprintf(stderr, "no doubtful picture arrived from the simulated console\n");
        return 1;
    }
    Save(frame, QDir(strOut).filePath(QStringLiteral("status-doubtful.png")));
    return g_nFailures == 0 ? 0 : 1;
}
