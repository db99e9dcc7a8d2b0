// The file dialog of the document manager, the recent-file list and document titles.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QSettings>

#include <cstring>
#include <fstream>
#include <utility>

#include "AppTestSupport.h"
#include "app/CBmpDocManager.h"
#include "bitmap/CDib.h"
#include "app/CQuillomatApp.h"
#include "app/CQuillomatDoc.h"
#include "app/CRecentFileList.h"
#include "res/Resource.h"
#include "support/StreamLayouts.h"
#include "support/TestFiles.h"

TEST(BmpDocManager, FilterListsOfOpenAndSave)
{
    const QString strOpen = CBmpDocManager::BuildFilterList(true);
    const QString strSave = CBmpDocManager::BuildFilterList(false);
    EXPECT_EQ(strSave, QStringLiteral("Windows Bitmap Dateien (*.bmp;*.dib)|*.bmp;*.dib|PNG-Bilder (*.png)|*.png|"
                                      "ZSoft PCX Dateien (*.pcx)|*.pcx||"));
    EXPECT_TRUE(strOpen.startsWith(strSave.chopped(1)));
    EXPECT_TRUE(strOpen.endsWith(QStringLiteral("|*.*||")));
    // The all-files caption is Qt's German one.
    EXPECT_TRUE(strOpen.contains(QStringLiteral("Alle Dateien"))) << strOpen.toStdString();

    const QStringList open = CBmpDocManager::ToNameFilters(strOpen);
    ASSERT_EQ(open.size(), 5);
    EXPECT_EQ(open[0], QStringLiteral("Windows Bitmap Dateien (*.bmp;*.dib) (*.bmp *.dib)"));
    EXPECT_EQ(open[1], QStringLiteral("PNG-Bilder (*.png) (*.png)"));
    EXPECT_EQ(open[2], QStringLiteral("ZSoft PCX Dateien (*.pcx) (*.pcx)"));
    EXPECT_EQ(open[3], QStringLiteral("Drucker-Protokolle (*.txt *.log *.bin) (*.txt *.log *.bin)"));
    EXPECT_TRUE(open[4].endsWith(QStringLiteral("(*)")));  // every file, dot or not
    EXPECT_EQ(CBmpDocManager::ToNameFilters(strSave).size(), 3);
}

TEST(BmpDocManager, DialogsOfferTheirFiltersAndTitles)
{
    struct {
        bool bOpen;
        uint16_t nTitle;
        const char* pszTitle;
        int nFilters;
        QFileDialog::AcceptMode mode;
    } const cases[] = {
        {true, AFX_IDS_OPENFILE, "Öffnen", 5, QFileDialog::AcceptOpen},
        {false, AFX_IDS_SAVEFILE, "Speichern unter", 3, QFileDialog::AcceptSave},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszTitle);
        QFileDialog dialog;
        CBmpDocManager::SetUpDialog(dialog, QStringLiteral("Quillo1"), c.nTitle, c.bOpen);
        EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8(c.pszTitle));
        EXPECT_EQ(dialog.nameFilters().size(), c.nFilters);
        EXPECT_EQ(dialog.acceptMode(), c.mode);
        EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("bmp"));
        // A name typed without an ending gets the ending of the chosen filter: PNG, or else BMP.
        for (const auto& [nFilter, pszSuffix] : {std::pair{1, "png"}, std::pair{2, "bmp"}, std::pair{0, "bmp"}}) {
            dialog.selectNameFilter(dialog.nameFilters().at(nFilter));
            emit dialog.filterSelected(dialog.nameFilters().at(nFilter));
            EXPECT_EQ(dialog.defaultSuffix(), QString::fromLatin1(pszSuffix)) << nFilter;
        }
        bool bHasAll = dialog.nameFilters().last().contains(QStringLiteral("Alle Dateien"));
        EXPECT_EQ(bHasAll, c.bOpen);
    }
}

TEST(BmpDocManager, PromptOffersTheNameAndReturnsTheChoice)
{
    CBmpDocManager manager;
    QString strSeen;
    QStringList filtersSeen;
    const QString strChosen = QDir(TestDir()).filePath(QStringLiteral("gewaehlt.bmp"));
    CModalAnswerer answerer([&](QWidget* pModal) {
        auto* pDialog = qobject_cast<QFileDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        filtersSeen = pDialog->nameFilters();
        strSeen = pDialog->selectedFiles().value(0);
        ChooseFileAndAccept(pDialog, strChosen);
    });
    answerer.SetAnswerAll(true);
    QString strName = QStringLiteral("Quillo1");
    ASSERT_TRUE(manager.DoPromptFileName(strName, AFX_IDS_SAVEFILE, false, nullptr));
    EXPECT_EQ(strName, strChosen);
    EXPECT_EQ(QFileInfo(strSeen).completeBaseName(), QStringLiteral("Quillo1")) << strSeen.toStdString();
    EXPECT_EQ(filtersSeen.size(), 3);

    // Abbrechen: false, and the name stays as it was.
    CModalAnswerer cancel([](QWidget* pModal) { qobject_cast<QDialog*>(pModal)->reject(); });
    cancel.SetAnswerAll(true);
    QString strKept = QStringLiteral("Quillo2");
    EXPECT_FALSE(manager.DoPromptFileName(strKept, AFX_IDS_OPENFILE, true, nullptr));
    EXPECT_EQ(strKept, QStringLiteral("Quillo2"));
}

TEST(RecentFileList, NewestFirstFourAtMostKeptInTheProfile)
{
    CRecentFileList list(4);
    for (const char* psz : {"a.bmp", "b.bmp", "c.bmp", "d.bmp", "e.bmp"})
        list.Add(QDir(TestDir()).filePath(QString::fromLatin1(psz)));
    ASSERT_EQ(list.GetFiles().size(), 4);
    EXPECT_TRUE(list.GetFiles()[0].endsWith(QStringLiteral("e.bmp")));
    EXPECT_TRUE(list.GetFiles()[3].endsWith(QStringLiteral("b.bmp")));
    // Opening a listed file again moves it to the top instead of listing it twice.
    list.Add(QDir(TestDir()).filePath(QStringLiteral("c.bmp")));
    EXPECT_TRUE(list.GetFiles()[0].endsWith(QStringLiteral("c.bmp")));
    EXPECT_EQ(list.GetFiles().size(), 4);
    EXPECT_EQ(list.GetDisplayName(0), QStringLiteral("&1 c.bmp"));

    QSettings settings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat"));
    EXPECT_TRUE(settings.value(QStringLiteral("Recent File List/File1")).toString().endsWith(QStringLiteral("c.bmp")));
    CRecentFileList reread(4);
    reread.ReadList();
    EXPECT_EQ(reread.GetFiles(), list.GetFiles());

    list.Remove(0);
    list.Remove(7);  // no such entry: nothing happens
    EXPECT_EQ(list.GetFiles().size(), 3);
    reread.ReadList();
    EXPECT_EQ(reread.GetFiles().size(), 3);
    // Elsewhere the path, the home folder written "~", an "&" shown as itself.
    list.Add(QDir::home().filePath(QStringLiteral("R&D/b.bmp")));
    EXPECT_EQ(list.GetDisplayName(0), QStringLiteral("&1 ~/R&&D/b.bmp"));
}

TEST(RecentFileList, LongPathsAreShortenedForTheMenu)
{
    const QString strHome = QStringLiteral("/home/anna");
    const struct {
        const char* pszPath;
        const char* pszShown;
    } cases[] = {
        {"/home/anna/strand.bmp", "~/strand.bmp"},
        {"/tmp/strand.bmp", "/tmp/strand.bmp"},
        {"/home/annabel/strand.bmp", "/home/annabel/strand.bmp"},  // not below the home folder
        {"/home/anna/Bilder/Urlaub/2026/Sommer/strand.bmp", "~/.../2026/Sommer/strand.bmp"},
        {"/var/lib/quillomat/archiv/bilder/2026/strand.bmp", "/.../bilder/2026/strand.bmp"},
        {"/home/anna/a/b/c/d/e/f/g/h/i/j/k/l/m/n/o/p/strand.bmp", "~/.../j/k/l/m/n/o/p/strand.bmp"},
        {"/home/anna/Bilder/ein_sehr_langer_name_fuer_ein_bild.bmp", "ein_sehr_langer_name_fuer_ein_bild.bmp"},
        {"/home/anna/Bilder/Urlaub/langer_name_bild.bmp", "~/.../langer_name_bild.bmp"},
    };
    for (const auto& c : cases) {
        const QString strShown = CRecentFileList::AbbreviateName(QString::fromUtf8(c.pszPath), strHome, 30);
        EXPECT_EQ(strShown, QString::fromUtf8(c.pszShown)) << c.pszPath;
    }
}

TEST(QuillomatDoc, APictureIsStoredAsItsNameSaysAndOpensAgain)
{
    CMessageCollector messages;
    CQuillomatDoc doc;
    ASSERT_TRUE(doc.GetDib().Create(5, 3));
    doc.GetDib().SetPixel({1, 2}, 0x336699);
    doc.GetDib().SetPixel({4, 0}, 0x000000);
    struct {
        const char* pName;
        bool bPng;
    } cases[] = {{"bild.bmp", false}, {"bild.png", true}, {"BILD.PNG", true}, {"bild.pcx", false}, {"bild", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pName);
        const QString strPath = QDir(TestDir()).filePath(QString::fromLatin1(c.pName));
        QFile::remove(strPath);
        doc.SetModifiedFlag(true);
        ASSERT_TRUE(doc.OnSaveDocument(strPath));
        EXPECT_FALSE(doc.IsModified());
        QFile file(strPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.read(4) == QByteArray("\x89PNG", 4), c.bPng);

        CQuillomatDoc again;
        ASSERT_TRUE(again.OnOpenDocument(strPath));
        const CDib& dib = again.GetDib();
        ASSERT_EQ(dib.GetDimensions(), (CSize{5, 3}));
        EXPECT_EQ(dib.GetBitCount(), 24);
        EXPECT_EQ(std::memcmp(dib.GetBits(), doc.GetDib().GetBits(), dib.GetImageSize()), 0);
    }
    EXPECT_TRUE(messages.GetMessages().empty());
}

namespace {

// A series of two prints of one and two bands (16 and 32 rows), each with a lower margin.
std::vector<CPacketBytes> TwoPrintSeries()
{
    const CPacketBytes band(640, 0x5a);
    const CPacketBytes twoBands(1280, 0xc3);
    return {
        MakePacket(0x01, 0, {}),          MakePacket(0x04, 0, band),   MakePacket(0x04, 0, {}),
        MakePacket(0x02, 0, {0x01, 0x13, 0xe4, 0x40}), MakePacket(0x0f, 0, {}),
        MakePacket(0x01, 0, {}),          MakePacket(0x04, 0, twoBands), MakePacket(0x04, 0, {}),
        MakePacket(0x02, 0, {0x01, 0x13, 0xe4, 0x40}), MakePacket(0x0f, 0, {}),
    };
}

} // namespace

// "Öffnen" of a printer device's log: the series of two prints becomes an untitled, modified
// window as high as both; a layout without checksums says so, a checked one says nothing.
TEST(BmpDocManager, APrinterLogOpensAsAnUntitledModifiedPicture)
{
    CRunningApp app;
    ASSERT_TRUE(app.IsStarted());
    CScratchFolder dir("quillomat-log");
    const std::vector<CPacketBytes> packets = TwoPrintSeries();
    const struct {
        const char* pName;
        std::string strText;
        bool bMessage;
    } cases[] = {
        {"raw.txt", ToRawText(packets, {}), false},
        {"parse.log", ToParseMode(packets, {}, false), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pName);
        const std::filesystem::path path = dir.Path() / c.pName;
        std::ofstream(path, std::ios::binary) << c.strText;
        CMessageCollector messages;
        const int nBefore = static_cast<int>(app.App().GetBmpDocManager()->GetDocuments().size());
        ASSERT_NE(app.App().GetBmpDocManager()->OpenDocumentFile(QString::fromStdString(path.string())), nullptr);
        const QList<CDocument*> docs = app.App().GetBmpDocManager()->GetDocuments().mid(nBefore);
        ASSERT_EQ(docs.size(), 1);
        auto* pDoc = qobject_cast<CQuillomatDoc*>(docs[0]);
        ASSERT_NE(pDoc, nullptr);
        EXPECT_EQ(pDoc->GetDib().GetDimensions(), (CSize{160, 48}));
        EXPECT_TRUE(pDoc->GetPathName().isEmpty());
        EXPECT_TRUE(pDoc->IsModified());
        ASSERT_EQ(messages.GetMessages().size(), c.bMessage ? 1u : 0u);
        if (c.bMessage) {
            EXPECT_NE(messages.GetMessages()[0].find("ungeprüft"), std::string::npos) << messages.GetMessages()[0];
        }
        // No window starts a reception of its own.
        EXPECT_TRUE(app.WaitForReception(2000));
    }
}

// The same series received over a file: link with all prints: one window as high as both, or,
// with each image in a window of its own, one window per print (each ends with a margin).
TEST(BmpDocManager, AReceivedSeriesOpensAWindowPerImageWhenChosen)
{
    CScratchFolder dir("quillomat-split");
    const std::filesystem::path path = dir.Path() / "raw.txt";
    std::ofstream(path, std::ios::binary) << ToRawText(TwoPrintSeries(), {});
    const QByteArray previous = qgetenv("QUILLOMAT_LINK");
    qputenv("QUILLOMAT_LINK", QByteArray("file:") + QByteArray::fromStdString(path.string()));
    const struct {
        bool bSplit;
        std::vector<CSize> sizes;
    } cases[] = {
        {false, {{160, 48}}},
        {true, {{160, 16}, {160, 32}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bSplit ? "split" : "one picture");
        QSettings profile(QStringLiteral("Tarvo"), QStringLiteral("Quillomat"));
        profile.setValue(QStringLiteral("Receive/AllPrints"), true);
        profile.setValue(QStringLiteral("Receive/SplitImages"), c.bSplit);
        profile.sync();
        CModalAnswerer answerer;
        CRunningApp app;
        ASSERT_TRUE(app.IsStarted());
        ASSERT_TRUE(app.WaitForReception());
        std::vector<CSize> sizes;
        for (CDocument* pDoc : app.App().GetBmpDocManager()->GetDocuments()) {
            auto* pPicture = qobject_cast<CQuillomatDoc*>(pDoc);
            ASSERT_NE(pPicture, nullptr);
            sizes.push_back(pPicture->GetDib().GetDimensions());
            EXPECT_TRUE(pPicture->IsModified());
        }
        EXPECT_EQ(sizes, c.sizes);
        // No window starts a reception of its own.
        EXPECT_TRUE(app.WaitForReception(2000));
        EXPECT_EQ(app.App().GetBmpDocManager()->GetDocuments().size(), static_cast<qsizetype>(c.sizes.size()));
    }
    QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat")).remove(QStringLiteral("Receive"));
    qputenv("QUILLOMAT_LINK", previous);
}
