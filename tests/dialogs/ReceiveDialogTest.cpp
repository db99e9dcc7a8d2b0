// The receive dialog on the simulated console: receptions that end by themselves, re-prints
// after bad blocks, the user's ways out, no module, no timer, and the link it opens.
#include "DialogTestSupport.h"

#include "linkspec/LinkSpec.h"
#include "link/PortIo.h"
#include "dialogs/CReceiveDlg.h"
#include "bitmap/CDib.h"
#include "bitmap/PictureFile.h"
#include "reception/ReceiveSession.h"
#include "reception/TileDecoder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSettings>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <regex>
#include <unistd.h>

namespace {

// Records what the user sees, in order: "S:" status texts set, "M:" message boxes.
class CRecordingDlg : public CReceiveDlg {
public:
    using CReceiveDlg::CReceiveDlg;
    std::vector<std::string> m_Events;

    void SetStatusText(const std::string& strUtf8) override
    {
        m_Events.push_back("S:" + strUtf8);
        CReceiveDlg::SetStatusText(strUtf8);
    }
    void ShowMessage(const std::string& strUtf8) override
    {
        m_Events.push_back("M:" + strUtf8);
        CReceiveDlg::ShowMessage(strUtf8);
    }
    size_t CountMessages() const
    {
        return static_cast<size_t>(std::count_if(m_Events.begin(), m_Events.end(),
                                                  [](const std::string& s) { return s.rfind("M:", 0) == 0; }));
    }
};

std::shared_ptr<PortIo> OpenSim(const std::string& strOptions)
{
    const COpenedLink link = OpenLink("sim:" + strOptions);
    EXPECT_TRUE(link.pPort) << link.strError;
    return link.pPort;
}

const std::string kConnect = std::string("S:") + RECEIVE_TEXT_CONNECT;
const std::string kPrint = std::string("S:") + RECEIVE_TEXT_PRINT;
const std::string kChecking = std::string("S:") + RECEIVE_TEXT_CHECKING;
const std::regex kBadBlocks(
    "M:([0-9]+) Fehler in ([0-9]+) gelesenen Datenblocks\n"
    "Bitte das Bild noch einmal ausdrucken\n"
    "Bitte erst OK drücken wenn der GB KEINE Daten mehr sendet");

// An action that presses a button of the receive dialog once bReady says so.
CModalAnswerer::Action PressWhen(CReceiveDlg& dlg, int nButton, std::function<bool()> fnReady)
{
    return [&dlg, nButton, fnReady](QWidget* pModal) {
        if (pModal != &dlg || !fnReady())
            return false;
        Control<QPushButton>(&dlg, nButton)->click();
        return true;
    };
}

class ReceiveDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApp();
        m_LogPath = std::filesystem::path(TestDir()) / "Tarvo.log";
    }
    std::filesystem::path m_LogPath;
};

TEST_F(ReceiveDialog, CleanPrintClosesTheDialogByItselfAndHandsOverThePicture)
{
    std::shared_ptr<PortIo> pPort = OpenSim("");
    ASSERT_TRUE(pPort);
    CRecordingDlg dlg(pPort, m_LogPath);
    CModalAnswerer answerer;
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_FALSE(answerer.WatchdogFired());
    EXPECT_TRUE(dlg.GetSession().IsPictureComplete());
    EXPECT_EQ(dlg.m_Events, (std::vector<std::string>{kConnect, kChecking}));
    EXPECT_TRUE(answerer.Messages().empty());
    EXPECT_FALSE(dlg.IsTimerRunning());

    const CReceivedPicture picture = dlg.GetReceivedPicture();
    EXPECT_EQ(picture.m_nTileBytes, 5760);  // the test card: 160 x 144, 18 bands
    // The test card holds all four colour numbers, so the bytes cannot all be alike.
    EXPECT_NE(std::count(picture.m_TileData.begin(), picture.m_TileData.begin() + 5760, picture.m_TileData[0]), 5760);
    EXPECT_TRUE(std::filesystem::exists(m_LogPath));
}

TEST_F(ReceiveDialog, BadBlocksAskForAReprintAndAGoodReprintClosesTheDialog)
{
    std::shared_ptr<PortIo> pPort = OpenSim("faults=flip:0.0004,seed=4,reprints=2");
    ASSERT_TRUE(pPort);
    CRecordingDlg dlg(pPort, m_LogPath);
    CModalAnswerer answerer;
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_FALSE(answerer.WatchdogFired());
    EXPECT_TRUE(dlg.GetSession().IsPictureComplete());
    EXPECT_GE(dlg.GetSession().GetReceptionCount(), 2);

    // The first print (flipped bits that no mark can repair): connect, checking, the message
    // with its two numbers; then the request to print again, and at the end a check without
    // message.
    ASSERT_GE(dlg.m_Events.size(), 5u);
    EXPECT_EQ(dlg.m_Events[0], kConnect);
    EXPECT_EQ(dlg.m_Events[1], kChecking);
    std::smatch match;
    ASSERT_TRUE(std::regex_match(dlg.m_Events[2], match, kBadBlocks)) << dlg.m_Events[2];
    const int nBad = std::stoi(match[1]);
    const int nRead = std::stoi(match[2]);
    EXPECT_GE(nBad, 1);
    EXPECT_EQ(nRead, 9);  // the test card comes in nine data packets
    EXPECT_LE(nBad, nRead);
    EXPECT_EQ(dlg.m_Events[3], kPrint);
    EXPECT_EQ(dlg.m_Events.back(), kChecking);
    EXPECT_EQ(answerer.Messages().size(), dlg.CountMessages());
    for (const std::string& strCaption : answerer.Captions())
        EXPECT_EQ(strCaption, "Quillomat");
    EXPECT_EQ(dlg.GetReceivedPicture().m_nTileBytes, 5760);
}

TEST_F(ReceiveDialog, AbbrechenAfterBadBlocksStillHandsOverTheBytes)
{
    std::shared_ptr<PortIo> pPort = OpenSim("faults=flip:0.0004,seed=4,reprints=0");
    ASSERT_TRUE(pPort);
    CRecordingDlg dlg(pPort, m_LogPath);
    CModalAnswerer answerer;
    answerer.Queue(PressWhen(dlg, 2, [&] { return dlg.CountMessages() >= 1; }));
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    EXPECT_FALSE(answerer.WatchdogFired());
    ASSERT_EQ(answerer.Messages().size(), 1u);
    EXPECT_TRUE(std::regex_match("M:" + answerer.Messages()[0], kBadBlocks));
    EXPECT_FALSE(dlg.GetSession().IsPictureComplete());
    const CReceivedPicture picture = dlg.GetReceivedPicture();
    EXPECT_GT(picture.m_nTileBytes, 0);
    EXPECT_LE(picture.m_nTileBytes, 20000);
    EXPECT_FALSE(dlg.IsTimerRunning());
}

TEST_F(ReceiveDialog, WithoutAModuleTheNoModuleTextStandsUntilTheUserGivesUp)
{
    CRecordingDlg dlg(nullptr, m_LogPath);
    CModalAnswerer answerer;
    int nPolls = 0;
    // Let a good number of attempts pass before pressing Abbrechen.
    answerer.Queue(PressWhen(dlg, 2, [&] { return !dlg.m_Events.empty() && ++nPolls > 30; }));
    EXPECT_EQ(dlg.exec(), QDialog::Rejected);
    EXPECT_FALSE(answerer.WatchdogFired());

    // The same text on every attempt: the control is set only once.
    EXPECT_EQ(dlg.m_Events, (std::vector<std::string>{std::string("S:") + RECEIVE_TEXT_NO_MODULE}));
    EXPECT_EQ(dlg.GetStatusSetCount(), 1);
    EXPECT_EQ(dlg.GetReceivedPicture().m_nTileBytes, 0);  // the view makes a 160 x 0 picture of it

    // The whole text, with its advice for Linux users, fits the status field.
    auto* pStatus = Control<QLabel>(&dlg, 1032);
    ASSERT_NE(pStatus, nullptr);
    EXPECT_EQ(pStatus->text().toStdString(), RECEIVE_TEXT_NO_MODULE);
    EXPECT_LE(pStatus->heightForWidth(pStatus->width()), pStatus->height());
    EXPECT_NE(pStatus->text().indexOf(QStringLiteral("QUILLOMAT_LINK=sim")), -1);
}

TEST_F(ReceiveDialog, AModuleFailingTheVersionTestEndsTheDialogWithTheReadLineMessage)
{
    std::shared_ptr<PortIo> pPort = OpenSim("version=2");
    ASSERT_TRUE(pPort);
    CRecordingDlg dlg(pPort, m_LogPath);
    CModalAnswerer answerer;
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_FALSE(answerer.WatchdogFired());
    EXPECT_EQ(answerer.Messages(), (std::vector<std::string>{RECEIVE_TEXT_READ_LINE}));
    EXPECT_EQ(dlg.m_Events, (std::vector<std::string>{std::string("M:") + RECEIVE_TEXT_READ_LINE}));
    EXPECT_EQ(dlg.GetReceivedPicture().m_nTileBytes, 0);
    EXPECT_FALSE(dlg.IsTimerRunning());
}

TEST_F(ReceiveDialog, WithoutATimerTheDialogSaysSoAndWaitsForTheUser)
{
    std::shared_ptr<PortIo> pPort = OpenSim("");
    ASSERT_TRUE(pPort);
    CRecordingDlg dlg(pPort, m_LogPath);
    dlg.SetTimerAvailable(false);
    CModalAnswerer answerer;
    int nPolls = 0;
    answerer.Queue(PressWhen(dlg, 1, [&] { return dlg.CountMessages() == 1 && ++nPolls > 20; }));
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_EQ(answerer.Messages(), (std::vector<std::string>{"SYSTEMFEHLER kein Zeitgeber verfügbar"}));
    // No attempt ran: no status text was ever shown.
    EXPECT_EQ(dlg.m_Events.size(), 1u);
    EXPECT_EQ(dlg.GetSession().GetTickCount(), 0);
    EXPECT_EQ(dlg.GetReceivedPicture().m_nTileBytes, 0);
}

TEST_F(ReceiveDialog, EveryWayOutEndsTheDialogAndStopsTheTimer)
{
    struct SCase {
        const char* pszName;
        std::function<void(CReceiveDlg&)> fnLeave;
        int nResult;
    };
    const SCase cases[] = {
        {"OK", [](CReceiveDlg& d) { Control<QPushButton>(&d, 1)->click(); }, QDialog::Accepted},
        {"Abbrechen", [](CReceiveDlg& d) { Control<QPushButton>(&d, 2)->click(); }, QDialog::Rejected},
        {"close box", [](CReceiveDlg& d) { d.close(); }, QDialog::Rejected},
        {"Escape",
         [](CReceiveDlg& d) {
             QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
             QApplication::sendEvent(&d, &escape);
         },
         QDialog::Rejected},
        {"Enter (OK is the default button)",
         [](CReceiveDlg& d) {
             QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
             QApplication::sendEvent(&d, &enter);
         },
         QDialog::Accepted},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.pszName);
        CRecordingDlg dlg(nullptr, m_LogPath);
        CModalAnswerer answerer;
        bool bTimerRanBefore = false;
        answerer.Queue([&](QWidget* pModal) {
            if (pModal != &dlg || dlg.m_Events.empty())
                return false;
            bTimerRanBefore = dlg.IsTimerRunning();
            c.fnLeave(dlg);
            return true;
        });
        EXPECT_EQ(dlg.exec(), c.nResult);
        EXPECT_FALSE(answerer.WatchdogFired());
        EXPECT_TRUE(bTimerRanBefore);
        EXPECT_FALSE(dlg.IsTimerRunning());
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_TRUE(dlg.GetSession().HasEnded());
    }
}

TEST_F(ReceiveDialog, LaysOutItsControlsAsItsTemplate)
{
    CReceiveDlg dlg(nullptr, m_LogPath);
    auto* pOk = Control<QPushButton>(&dlg, 1);
    auto* pCancel = Control<QPushButton>(&dlg, 2);
    auto* pStatus = Control<QLabel>(&dlg, 1032);
    ASSERT_TRUE(pOk && pCancel && pStatus);
    EXPECT_TRUE(pStatus->text().isEmpty());

    // The layout of the template: two buttons of one size side by side below the status field,
    // everything inside the window, nothing overlapping.
    const QRect rcDialog(QPoint(0, 0), dlg.size());
    EXPECT_EQ(pOk->size(), pCancel->size());
    EXPECT_EQ(pOk->y(), pCancel->y());
    EXPECT_LT(pOk->geometry().right(), pCancel->x());
    EXPECT_LT(pStatus->geometry().bottom(), pOk->y());
    // The all-prints check box sits between the status field and the buttons.
    auto* pAllPrints = Control<QCheckBox>(&dlg, 1034);
    ASSERT_TRUE(pAllPrints);
    EXPECT_LT(pStatus->geometry().bottom(), pAllPrints->y());
    EXPECT_LT(pAllPrints->geometry().bottom(), pOk->y());
    // The link list above the status field; each image in its own window below all prints.
    auto* pLink = Control<QComboBox>(&dlg, 1039);
    auto* pSplit = Control<QCheckBox>(&dlg, 1041);
    ASSERT_TRUE(pLink && pSplit);
    EXPECT_LT(pLink->geometry().bottom(), pStatus->y());
    EXPECT_LT(pAllPrints->geometry().bottom(), pSplit->y());
    EXPECT_LT(pSplit->geometry().bottom(), Control<QCheckBox>(&dlg, 1035)->y());
    for (QWidget* pControl : {static_cast<QWidget*>(pOk), static_cast<QWidget*>(pCancel), static_cast<QWidget*>(pStatus),
                              static_cast<QWidget*>(pAllPrints), static_cast<QWidget*>(pLink), static_cast<QWidget*>(pSplit)})
        EXPECT_TRUE(rcDialog.contains(pControl->geometry())) << pControl->objectName().toStdString();
    // 267 x 197 units: wider than high in about that proportion (units are taller than wide).
    const double dWidthToHeight = double(dlg.width()) / dlg.height();
    EXPECT_GT(dWidthToHeight, 1.2);
    EXPECT_LT(dWidthToHeight, 2.2);
    // Buttons of 50 x 14 units are wider than high.
    EXPECT_GT(pOk->width(), 2 * pOk->height());
}

// All prints: off by default, remembered in the profile, read by the next dialog.
TEST_F(ReceiveDialog, KeepReceivingSavesEveryPrintAsTheNextFreeNumberAndReplacesNothing)
{
    // A folder that holds a series already, with a gap: the new files go on after its end.
    const std::filesystem::path folder = std::filesystem::path(TestDir()) / "serie";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    for (const char* pszOld : {"Bild-0001.png", "Bild-0003.png"})
        std::ofstream(folder / pszOld) << "alt " << pszOld;
    // The user prints five times; each time the dialog says the picture is saved, he prints the next.
    std::shared_ptr<PortIo> pPort = OpenSim("reprints=4");
    ASSERT_TRUE(pPort);
    CRecordingDlg dlg(pPort, m_LogPath);
    struct CReset {
        ~CReset() { QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).remove(QStringLiteral("Receive")); }
    } reset;
    dlg.SetKeepFolder(folder);
    dlg.SetKeepReceiving(true);
    CModalAnswerer answerer;
    answerer.Queue(PressWhen(dlg, 2, [&] { return dlg.GetSavedFiles().size() == 5; }));
    dlg.exec();
    EXPECT_FALSE(answerer.WatchdogFired());
    EXPECT_TRUE(answerer.Messages().empty());

    std::vector<std::string> names;
    for (const std::filesystem::path& path : dlg.GetSavedFiles())
        names.push_back(path.filename().string());
    EXPECT_EQ(names, (std::vector<std::string>{"Bild-0004.png", "Bild-0005.png", "Bild-0006.png", "Bild-0007.png",
                                               "Bild-0008.png"}));
    for (const char* pszOld : {"Bild-0001.png", "Bild-0003.png"}) {
        std::ifstream in(folder / pszOld);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string("alt ") + pszOld);
    }
    EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("1038"))->text(),
              QStringLiteral("Gespeichert: Bild-0008.png (5 Bilder in diesem Fenster)"));
    // Each file is the picture as the view makes it; closing hands the last one over.
    const CReceivedPicture last = dlg.GetReceivedPicture();
    EXPECT_EQ(last.m_nTileBytes, 5760);
    CDib expected;
    ASSERT_TRUE(CreateReceivedPicture(last.m_TileData.data(), last.m_nTileBytes, expected));
    for (const std::filesystem::path& path : dlg.GetSavedFiles()) {
        CDib saved;
        ASSERT_TRUE(ReadPictureFile(saved, path).Ok()) << path;
        ASSERT_EQ(saved.GetDimensions(), expected.GetDimensions());
        for (int32_t y = 0; y < 144; ++y)
            ASSERT_EQ(std::memcmp(saved.GetRowBits(y), expected.GetRowBits(y), 480), 0) << path << " row " << y;
    }
    EXPECT_TRUE(QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).value(QStringLiteral("Receive/KeepReceiving")).toBool());
}

// Each image in its own window: only with all prints, remembered as well.
TEST_F(ReceiveDialog, TheAllPrintsSettingIsRememberedInTheProfile)
{
    QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).remove(QStringLiteral("Receive"));
    {
        CReceiveDlg dlg(nullptr, m_LogPath);
        auto* pBox = Control<QCheckBox>(&dlg, 1034);
        auto* pSplit = Control<QCheckBox>(&dlg, 1041);
        ASSERT_TRUE(pBox && pSplit);
        EXPECT_FALSE(pBox->isChecked());
        EXPECT_FALSE(dlg.GetSession().IsAllPrints());
        EXPECT_FALSE(pSplit->isEnabled());
        pBox->click();
        EXPECT_TRUE(dlg.GetSession().IsAllPrints());
        EXPECT_TRUE(QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).value(QStringLiteral("Receive/AllPrints")).toBool());
        ASSERT_TRUE(pSplit->isEnabled());
        EXPECT_FALSE(dlg.IsSplitImages());
        pSplit->click();
        EXPECT_TRUE(dlg.IsSplitImages());
    }
    {
        CReceiveDlg dlg(nullptr, m_LogPath);
        EXPECT_TRUE(Control<QCheckBox>(&dlg, 1034)->isChecked());
        EXPECT_TRUE(dlg.GetSession().IsAllPrints());
        EXPECT_TRUE(dlg.IsSplitImages());
        // Without all prints there is no series to split, whatever the box says.
        Control<QCheckBox>(&dlg, 1034)->click();
        EXPECT_FALSE(Control<QCheckBox>(&dlg, 1041)->isEnabled());
        EXPECT_FALSE(dlg.IsSplitImages());
    }
    QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).remove(QStringLiteral("Receive"));
}

// The link list: the printer port, then each serial device. A choice opens at once and is
// remembered; a device that cannot be opened says why; QUILLOMAT_LINK fixes the link.
TEST_F(ReceiveDialog, TheLinkListOffersTheSerialDevicesAndRemembersTheChoice)
{
    // A pseudo terminal stands in for a printer emulator's device.
    const int nMaster = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(nMaster, 0);
    ASSERT_EQ(grantpt(nMaster), 0);
    ASSERT_EQ(unlockpt(nMaster), 0);
    const std::string strPty = ptsname(nMaster);
    const std::string strMissing = TestDir() + "/ttyACM9";
    CReceiveDlg::SetOfferedDevices(std::vector<std::string>{strPty, strMissing});
    const QByteArray previous = qgetenv("QUILLOMAT_LINK");
    qunsetenv("QUILLOMAT_LINK");
    const QString strKey = QStringLiteral("Link/Port");
    QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).remove(strKey);
    const auto Entries = [](const QComboBox& box) {
        std::vector<std::string> texts;
        for (int n = 0; n < box.count(); ++n)
            texts.push_back(box.itemText(n).toStdString());
        return texts;
    };
    {
        CRecordingDlg dlg;
        auto* pLink = Control<QComboBox>(&dlg, 1039);
        ASSERT_TRUE(pLink);
        EXPECT_EQ(Entries(*pLink), (std::vector<std::string>{"Druckerport (auto)", "USB-Drucker-Emulator " + strPty,
                                                             "USB-Drucker-Emulator " + strMissing}));
        EXPECT_EQ(pLink->currentIndex(), 0);
        EXPECT_TRUE(pLink->isEnabled());
        const auto Choose = [pLink](int n) {
            pLink->setCurrentIndex(n);
            emit pLink->activated(n);
        };
        CModalAnswerer answerer;
        answerer.Queue([&](QWidget* pModal) {
            if (pModal != &dlg || dlg.m_Events.empty())
                return false;
            Choose(1);
            return true;
        });
        // The device listens: the dialog waits for its prints.
        answerer.Queue([&](QWidget* pModal) {
            if (pModal != &dlg || dlg.GetStatusText() != RECEIVE_TEXT_SOURCE)
                return false;
            EXPECT_EQ(QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).value(strKey).toString().toStdString(),
                      "serial:" + strPty);
            Choose(2);
            Control<QPushButton>(&dlg, 2)->click();
            return true;
        });
        EXPECT_EQ(dlg.exec(), QDialog::Rejected);
        EXPECT_FALSE(answerer.WatchdogFired());
        EXPECT_EQ(answerer.PendingActions(), 0u);
        EXPECT_EQ(answerer.Messages(), (std::vector<std::string>{"Die Verbindung „serial:" + strMissing +
                                                                 "“ kann nicht geöffnet werden:\nDas Gerät " + strMissing +
                                                                 " gibt es nicht. Ist der Drucker-Emulator eingesteckt?\n"
                                                                 "Das Programm arbeitet ohne Linkmodul weiter."}));
        EXPECT_EQ(dlg.GetLinkSpec(), "serial:" + strMissing);
    }
    // The next dialog opens the device chosen last.
    {
        CReceiveDlg dlg;
        EXPECT_EQ(Control<QComboBox>(&dlg, 1039)->currentIndex(), 2);
        EXPECT_EQ(dlg.GetLinkSpec(), "serial:" + strMissing);
    }
    // The environment wins, and the list cannot change it.
    qputenv("QUILLOMAT_LINK", "sim");
    {
        CReceiveDlg dlg;
        auto* pLink = Control<QComboBox>(&dlg, 1039);
        EXPECT_EQ(pLink->currentText().toStdString(), "Simulierte Konsole (sim)");
        EXPECT_EQ(pLink->count(), 3);
        EXPECT_FALSE(pLink->isEnabled());
        EXPECT_EQ(dlg.GetLinkSpec(), "sim");
    }
    qputenv("QUILLOMAT_LINK", previous);
    if (previous.isNull())
        qunsetenv("QUILLOMAT_LINK");
    QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).remove(strKey);
    CReceiveDlg::SetOfferedDevices(std::nullopt);
    close(nMaster);
}

// The link string: the environment wins over the profile, the profile over "auto".
TEST_F(ReceiveDialog, TheLinkComesFromTheEnvironmentThenTheProfileThenAuto)
{
    struct SCase {
        const char* pszEnv;     // null: unset
        const char* pszProfile; // null: absent
        const char* pszExpected;
    };
    const SCase cases[] = {
        {nullptr, nullptr, "auto"},
        {"", nullptr, "auto"},
        {nullptr, "sim:version=4", "sim:version=4"},
        {"", "  ppdev:/dev/parport1 ", "ppdev:/dev/parport1"},
        {"sim", "ppdev", "sim"},
        {"direct", nullptr, "direct"},
    };
    const char* pszSaved = std::getenv("QUILLOMAT_LINK");
    const std::string strSaved = pszSaved ? pszSaved : "";
    for (const SCase& c : cases) {
        QSettings profile(QStringLiteral("Tarvo"), QStringLiteral("Quillomat"));
        if (c.pszProfile)
            profile.setValue(QStringLiteral("Link/Port"), QString::fromUtf8(c.pszProfile));
        else
            profile.remove(QStringLiteral("Link/Port"));
        profile.sync();
        if (c.pszEnv)
            setenv("QUILLOMAT_LINK", c.pszEnv, 1);
        else
            unsetenv("QUILLOMAT_LINK");
        EXPECT_EQ(CReceiveDlg::LinkStringFromEnvironment(), c.pszExpected)
            << (c.pszEnv ? c.pszEnv : "(unset)") << " / " << (c.pszProfile ? c.pszProfile : "(none)");
    }
    QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).remove(QStringLiteral("Link/Port"));
    if (pszSaved)
        setenv("QUILLOMAT_LINK", strSaved.c_str(), 1);
    else
        unsetenv("QUILLOMAT_LINK");
}

// Strict checking: a check box, off until the user sets it, remembered in the profile.
TEST_F(ReceiveDialog, StrictCheckBoxIsOffByDefaultAndRemembered)
{
    QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).remove(QStringLiteral("Receive/Strict"));
    {
        CReceiveDlg dlg(nullptr, m_LogPath);
        auto* pStrict = Control<QCheckBox>(&dlg, 1033);
        ASSERT_NE(pStrict, nullptr);
        EXPECT_EQ(pStrict->text(), QStringLiteral("Streng prüfen: jeden Block mit zwei Ausdrucken bestätigen"));
        EXPECT_FALSE(pStrict->isChecked());
        EXPECT_FALSE(dlg.GetSession().IsStrict());
        pStrict->click();
        EXPECT_TRUE(dlg.GetSession().IsStrict());
    }
    CReceiveDlg again(nullptr, m_LogPath);
    EXPECT_TRUE(Control<QCheckBox>(&again, 1033)->isChecked());
    EXPECT_TRUE(again.GetSession().IsStrict());
    QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).remove(QStringLiteral("Receive/Strict"));
}

// A strict reception from the simulated console: the first print is not enough, the dialog
// asks for a second, the simulated user prints it, and the dialog closes by itself.
TEST_F(ReceiveDialog, StrictReceptionAsksForASecondPrint)
{
    std::shared_ptr<PortIo> pPort = OpenSim("");
    ASSERT_TRUE(pPort);
    CRecordingDlg dlg(pPort, m_LogPath);
    dlg.GetSession().SetStrict(true);
    CModalAnswerer answerer;
    EXPECT_EQ(dlg.exec(), QDialog::Accepted);
    EXPECT_FALSE(answerer.WatchdogFired());
    EXPECT_TRUE(dlg.GetSession().IsPictureComplete());
    EXPECT_EQ(dlg.CountMessages(), 1u);
    EXPECT_EQ(dlg.GetSession().GetTableVerdict().nConfirmed, 9);
    EXPECT_EQ(dlg.GetReceivedPicture().m_nTileBytes, 5760);
}

TEST_F(ReceiveDialog, ABadLinkStringIsShownAndTheDialogGoesOnWithoutAPort)
{
    // The message is German throughout and names the string and the part of it at fault.
    const struct {
        const char* pszLink;
        const char* pszDetail;
    } cases[] = {
        {"sim:nonsense=1", "„nonsense“ ist darin nicht zu verstehen.\nMöglich sind „auto“, „ppdev“"},
        {"sim:version=9", "„version=9“ ist darin nicht zu verstehen."},
        {"funk", "„funk“ ist darin nicht zu verstehen."},
        {"sim:picture=/gibt/es/nicht.bmp", "„/gibt/es/nicht.bmp“ lässt sich nicht öffnen oder lesen."},
        {"file:/gibt/es/nicht.log", "/gibt/es/nicht.log kann nicht gelesen werden"},
        {"serial:/gibt/es/ttyACM0", "Das Gerät /gibt/es/ttyACM0 gibt es nicht. Ist der Drucker-Emulator eingesteckt?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszLink);
        setenv("QUILLOMAT_LINK", c.pszLink, 1);
        CRecordingDlg dlg;
        unsetenv("QUILLOMAT_LINK");
        CModalAnswerer answerer;
        answerer.Queue(PressWhen(dlg, 2, [&] { return dlg.m_Events.size() >= 2; }));
        EXPECT_EQ(dlg.exec(), QDialog::Rejected);
        ASSERT_EQ(dlg.m_Events.size(), 2u);
        const std::string strExpected = std::string("M:Die Verbindung „") + c.pszLink + "“ kann nicht geöffnet werden:\n";
        EXPECT_EQ(dlg.m_Events[0].rfind(strExpected + c.pszDetail, 0), 0u) << dlg.m_Events[0];
        EXPECT_TRUE(dlg.m_Events[0].ends_with("\nDas Programm arbeitet ohne Linkmodul weiter.")) << dlg.m_Events[0];
        EXPECT_EQ(dlg.m_Events[1], std::string("S:") + RECEIVE_TEXT_NO_MODULE);
        EXPECT_EQ(dlg.GetReceivedPicture().m_nTileBytes, 0);
    }
}

} // namespace
