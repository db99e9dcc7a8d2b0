// Takes the pictures of the dialogs for the README: run under an X server (xvfb-run), see
// take-screenshots.sh. Usage: dialog_screenshots OUTPUT-FOLDER
#include "bitmap/CDib.h"
#include "dialogs/CColorizeDlg.h"
#include "dialogs/CPaletteDlg.h"
#include "dialogs/CReceiveDlg.h"
#include "dialogs/CSoftenDlg.h"
#include "dialogs/CSoftenProgressDlg.h"
#include "effects/Colorize.h"
#include "effects/Palette.h"
#include "linkspec/LinkSpec.h"
#include "reception/ReceiveSession.h"
#include "reception/TileDecoder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QSettings>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

QString g_strOut;
int g_nFailures = 0;

void Settle(int nMs = 150)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < nMs)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

void Save(QWidget& widget, const char* pszName)
{
    widget.show();
    widget.raise();
    widget.activateWindow();
    Settle();
    const QString strPath = QDir(g_strOut).filePath(QString::fromLatin1(pszName));
    if (!widget.grab().save(strPath)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(strPath));
        ++g_nFailures;
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(strPath));
    }
}

QImage ToImage(const CDib& dib, int nScale)
{
    const CSize size = dib.GetDimensions();
    QImage image(size.cx, size.cy, QImage::Format_RGB32);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            image.setPixel(x, y, 0xFF000000u | dib.GetPixel({x, y}));
    return image.scaled(size.cx * nScale, size.cy * nScale);
}

// The receive dialog without a module, and while it waits for a print.
void ShootReceiveDialog(const QString& strWork)
{
    CReceiveDlg dlg(nullptr, (strWork + "/Tarvo.log").toStdString());
    dlg.show();
    Settle(400);  // opening and the first attempts: the no-module text
    dlg.KillTimer(1);
    Save(dlg, "receive-no-module.png");
    dlg.SetStatusText(RECEIVE_TEXT_CONNECT);
    Save(dlg, "receive-waiting.png");
    dlg.SetStatusText(RECEIVE_TEXT_CHECKING);
    Save(dlg, "receive-checking.png");
    // Strict checking set, after a print that broke off: the dialog waits for the next one.
    // (Set without the profile seeing it, so the reception below is not a strict one.)
    if (auto* pStrict = dlg.findChild<QCheckBox*>()) {
        const QSignalBlocker quiet(pStrict);
        pStrict->setChecked(true);
    }
    dlg.SetStatusText(RECEIVE_TEXT_PRINT);
    Save(dlg, "receive-strict.png");
    // All prints set instead, waiting for a series to come again.
    for (QCheckBox* pBox : dlg.findChildren<QCheckBox*>()) {
        const QSignalBlocker quiet(pBox);
        pBox->setChecked(pBox->text().startsWith(QStringLiteral("Alle")));
        if (pBox->text().startsWith(QStringLiteral("Jedes")))
            pBox->setEnabled(true);  // as all prints set by hand makes it
    }
    Save(dlg, "receive-all-prints.png");
    dlg.hide();
    QMessageBox box(QMessageBox::Information, QStringLiteral("Quillomat"),
                    QString::fromStdString(IncompletePrintMessage(0, 9)), QMessageBox::Ok);
    Save(box, "receive-incomplete.png");
    box.setText(QString::fromStdString(SERIES_TEXT_INCOMPLETE));
    Save(box, "receive-series-incomplete.png");
    box.hide();
}

// A USB printer emulator plugged in (/dev/ttyACM0, offered without being there): chosen in the
// link list, the dialog waits for its prints.
void ShootSerialDevice(const QString& strWork)
{
    qunsetenv("QUILLOMAT_LINK");
    CReceiveDlg::SetOfferedDevices(std::vector<std::string>{"/dev/ttyACM0"});
    CReceiveDlg dlg(nullptr, (strWork + "/Tarvo.log").toStdString());
    dlg.show();
    Settle(400);
    dlg.KillTimer(1);
    if (auto* pLink = dlg.findChild<QComboBox*>()) {
        const QSignalBlocker quiet(pLink);
        pLink->setCurrentIndex(pLink->findData(QStringLiteral("serial:/dev/ttyACM0")));
    }
    dlg.SetStatusText(RECEIVE_TEXT_SOURCE);
    Save(dlg, "receive-serial.png");
    dlg.hide();
    CReceiveDlg::SetOfferedDevices(std::nullopt);
}

// A whole reception from the simulated console, then the picture coloured "Rot" with the
// console's pale green for the brightest level, beside the picture as it arrived.
void ShootColouredPicture(const QString& strWork)
{
    CReceiveDlg dlg(OpenLink("sim").pPort, (strWork + "/Tarvo.log").toStdString());
    dlg.exec();
    const CReceivedPicture picture = dlg.GetReceivedPicture();
    CDib dib;
    CreateReceivedPicture(picture.m_TileData.data(), picture.m_nTileBytes, dib);
    const QImage original = ToImage(dib, 2);
    ColorizeDib(dib, 1 + 16 * 2);
    const QImage coloured = ToImage(dib, 2);
    CreateReceivedPicture(picture.m_TileData.data(), picture.m_nTileBytes, dib);  // as received again

    // The palette dialog on the same picture: the original handheld's greens.
    CPaletteDlg palette(dib, [](const CDib& shown) { return ToImage(shown, 1); });
    palette.m_nChoice = 0;
    Save(palette, "palette-dialog.png");
    palette.hide();

    QImage both(original.width() * 2 + 30, original.height() + 20, QImage::Format_RGB32);
    both.fill(QColor(0xEF, 0xEF, 0xEF));
    QPainter painter(&both);
    painter.drawImage(10, 10, original);
    painter.drawImage(original.width() + 20, 10, coloured);
    painter.end();
    const QString strPath = QDir(g_strOut).filePath(QStringLiteral("coloured-picture.png"));
    if (!both.save(strPath))
        ++g_nFailures;
    std::fprintf(stderr, "%s (%d bytes received)\n", qPrintable(strPath), picture.m_nTileBytes);
}

// Keep receiving: three prints from the simulated console saved one after another while the
// dialog waits for the next.
void ShootKeepReceiving(const QString& strWork)
{
    const QString strFolder = strWork + QStringLiteral("/Bilder/GB");
    QDir().mkpath(strFolder);
    CReceiveDlg dlg(OpenLink("sim:reprints=2").pPort, (strWork + "/Tarvo.log").toStdString());
    dlg.SetKeepFolder(strFolder.toStdString());
    dlg.SetKeepReceiving(true);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (dlg.GetSavedFiles().size() < 3)
            return;
        poll.stop();
        Settle(300);
        Save(dlg, "receive-keep.png");
        dlg.reject();
    });
    poll.start(50);
    dlg.exec();
    QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).remove(QStringLiteral("Receive"));
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: dialog_screenshots OUTPUT-FOLDER\n");
        return 2;
    }
    g_strOut = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(g_strOut);
    // The profile value the softening dialog writes and the log go to a throw-away place.
    QTemporaryDir work;
    qputenv("XDG_CONFIG_HOME", work.path().toLocal8Bit());
    qputenv("HOME", work.path().toLocal8Bit());
    QDir::setCurrent(work.path());

    ShootReceiveDialog(work.path());
    ShootSerialDevice(work.path());

    CColorizeDlg colorize;
    colorize.m_nChoice = 1 + 16 * 2;
    Save(colorize, "colorize-dialog.png");
    colorize.hide();

    CSoftenDlg soften;
    soften.m_nPasses = 1;
    soften.m_nSize = 8;
    Save(soften, "soften-dialog.png");
    soften.hide();

    CSoftenProgressDlg progress;
    progress.show();
    SoftenProgressProc(&progress, PROGRESS_MSG_SET, PROGRESS_MAGIC, 51);
    Save(progress, "soften-progress.png");
    progress.hide();

    ShootColouredPicture(work.path());
    ShootKeepReceiving(work.path());
    return g_nFailures == 0 ? 0 : 1;
}
