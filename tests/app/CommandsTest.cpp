// Commands routed from the main window to the view, document and application: the effects and
// undo, the about box, a save that fails, the question at exit, the recent-file list.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QKeySequence>
#include <QTimer>

#include "AppTestSupport.h"
#include "bitmap/BmpBytes.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/CQuillomatApp.h"
#include "app/CQuillomatDoc.h"
#include "app/CQuillomatView.h"
#include "app/CRecentFileList.h"
#include "res/Resource.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

namespace {

void AcceptDialog(QWidget* pModal)
{
    if (auto* pBox = qobject_cast<QMessageBox*>(pModal))
        pBox->escapeButton()->click();
    else if (auto* pDialog = qobject_cast<QDialog*>(pModal))
        pDialog->accept();
}

// Presses the keys as the main window's accelerator table has them.
void PressKeys(CMainFrame& frame, const QKeySequence& keys)
{
    for (QAction* pAction : frame.GetAcceleratorActions())
        if (pAction->shortcut() == keys)
            return pAction->trigger();
    ADD_FAILURE() << "no accelerator " << keys.toString().toStdString();
}

// Sets QUILLOMAT_LINK for a scope.
class CLinkForScope {
public:
    explicit CLinkForScope(const char* pLink) : m_Previous(qgetenv("QUILLOMAT_LINK")) { qputenv("QUILLOMAT_LINK", pLink); }
    ~CLinkForScope() { qputenv("QUILLOMAT_LINK", m_Previous); }

private:
    QByteArray m_Previous;
};

} // namespace

TEST(Commands, EffectsMarkTheDocumentAndUndoRestores)
{
    CModalAnswerer receiving;
    CRunningApp app;
    ASSERT_TRUE(app.IsStarted());
    ASSERT_TRUE(app.WaitForReception());
    CMainFrame& frame = app.Frame();
    CQuillomatDoc* pDoc = app.ActiveDoc();
    const std::vector<uint32_t> original = PixelsOf(pDoc->GetDib());

    for (uint16_t nId : {ID_EFFECT_SOFTEN, ID_EFFECT_COLORIZE}) {
        SCOPED_TRACE(nId);
        pDoc->SetModifiedFlag(false);
        int nDialogs = 0;
        {
            CModalAnswerer answerer([&](QWidget* pModal) {
                ++nDialogs;
                AcceptDialog(pModal);
            });
            answerer.SetAnswerAll(true);
            frame.OnCommand(nId);
        }
        EXPECT_GE(nDialogs, 1);
        EXPECT_TRUE(pDoc->IsModified());
        EXPECT_TRUE(pDoc->GetUndo().HasSnapshot());
        EXPECT_TRUE(frame.IsCommandEnabled(ID_EDIT_UNDO));
        // Alt+Backspace: undo, which puts the received picture back and leaves the flag alone.
        for (QAction* pAction : frame.GetAcceleratorActions())
            if (pAction->shortcut() == QKeySequence(Qt::ALT | Qt::Key_Backspace))
                pAction->trigger();
        EXPECT_EQ(PixelsOf(pDoc->GetDib()), original);
        EXPECT_FALSE(frame.IsCommandEnabled(ID_EDIT_UNDO));
        EXPECT_TRUE(pDoc->IsModified());
    }

    // Cancelling an effect's dialog changes nothing.
    pDoc->SetModifiedFlag(false);
    {
        CModalAnswerer cancel([](QWidget* pModal) { qobject_cast<QDialog*>(pModal)->reject(); });
        cancel.SetAnswerAll(true);
        frame.OnCommand(ID_EFFECT_COLORIZE);
        EXPECT_EQ(cancel.GetCount(), 1);
    }
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_FALSE(pDoc->GetUndo().HasSnapshot());
}

TEST(Commands, AboutBoxFromMenuAndF1)
{
    const QString strFile = WriteTestBitmap(QStringLiteral("info.bmp"), 4, 4);
    CRunningApp app({strFile});
    ASSERT_TRUE(app.IsStarted());
    for (uint16_t nId : {ID_HELP_ABOUT, ID_APP_ABOUT}) {
        QString strTitle;
        QString strName;
        CModalAnswerer answerer([&](QWidget* pModal) {
            strTitle = pModal->windowTitle();
            if (auto* pName = pModal->findChild<QLabel*>(QStringLiteral("aboutName")))
                strName = pName->text();
            qobject_cast<QDialog*>(pModal)->accept();
        });
        answerer.SetAnswerAll(true);
        app.Frame().OnCommand(nId);
        EXPECT_EQ(answerer.GetCount(), 1) << nId;
        EXPECT_EQ(strTitle, QStringLiteral("Info über Quillomat"));
        EXPECT_EQ(strName, QStringLiteral("Quillomat Version %1").arg(QStringLiteral(QUILLOMAT_VERSION)));
    }
}

TEST(Commands, FailedSaveKeepsTheChangesAndTheName)
{
    CModalAnswerer receiving;
    CRunningApp app;
    ASSERT_TRUE(app.IsStarted());
    ASSERT_TRUE(app.WaitForReception());
    CQuillomatDoc* pDoc = app.ActiveDoc();
    CMessageCollector messages;
    const QString strBad = QDir(TestDir()).filePath(QStringLiteral("gibtsnicht/bild.bmp"));
    {
        CModalAnswerer answerer([&](QWidget* pModal) { ChooseFileAndAccept(pModal, strBad); });
        answerer.SetAnswerAll(true);
        EXPECT_FALSE(pDoc->DoSave(QString()));
    }
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_TRUE(pDoc->GetPathName().isEmpty());
    EXPECT_EQ(pDoc->GetTitle(), QStringLiteral("Quillo1"));
    EXPECT_FALSE(messages.GetMessages().empty());  // the picture class said why
    EXPECT_FALSE(QFileInfo::exists(strBad));
}

TEST(Commands, ExitAsksAboutModifiedPictures)
{
    CModalAnswerer receiving;
    CRunningApp app;
    ASSERT_TRUE(app.IsStarted());
    ASSERT_TRUE(app.WaitForReception());
    CMainFrame& frame = app.Frame();
    {
        CModalAnswerer cancel([](QWidget* pModal) {
            qobject_cast<QMessageBox*>(pModal)->button(QMessageBox::Cancel)->click();
        });
        frame.OnCommand(ID_APP_EXIT);
        EXPECT_EQ(cancel.GetTexts(), QStringList{QStringLiteral("Änderungen in Quillo1 speichern?")});
    }
    EXPECT_TRUE(frame.isVisible());
    EXPECT_NE(app.ActiveDoc(), nullptr);
    {
        CModalAnswerer no([](QWidget* pModal) { qobject_cast<QMessageBox*>(pModal)->button(QMessageBox::No)->click(); });
        frame.OnCommand(ID_APP_EXIT);
        EXPECT_EQ(no.GetCount(), 1);
    }
    EXPECT_FALSE(frame.isVisible());
}

TEST(Commands, RecentFilesOpenAndForgetMissingOnes)
{
    const QString strKept = WriteTestBitmap(QStringLiteral("zuletzt.bmp"), 6, 6);
    const QString strGone = WriteTestBitmap(QStringLiteral("weg.bmp"), 6, 6);
    CRunningApp app({strGone});
    ASSERT_TRUE(app.IsStarted());
    app.Frame().OnCommand(ID_FILE_CLOSE);
    ASSERT_TRUE(WaitFor([&] { return app.ActiveView() == nullptr; }, 5000));
    app.App().AddToRecentFileList(strKept);
    CRecentFileList& list = app.App().GetRecentFileList();
    ASSERT_GE(list.GetFiles().size(), 2);
    EXPECT_EQ(list.GetFiles()[0], QFileInfo(strKept).absoluteFilePath());
    EXPECT_EQ(list.GetFiles()[1], QFileInfo(strGone).absoluteFilePath());
    EXPECT_TRUE(app.Frame().IsCommandEnabled(ID_FILE_MRU_FILE1 + 1));

    // A file that is gone: the message, and it leaves the list.
    QFile::remove(strGone);
    {
        CModalAnswerer answerer;
        app.Frame().OnCommand(ID_FILE_MRU_FILE1 + 1);
        EXPECT_EQ(answerer.GetCount(), 1);
    }
    EXPECT_FALSE(list.GetFiles().contains(QFileInfo(strGone).absoluteFilePath()));
    EXPECT_EQ(app.ActiveView(), nullptr);

    app.Frame().OnCommand(ID_FILE_MRU_FILE1);
    ASSERT_NE(app.ActiveDoc(), nullptr);
    EXPECT_EQ(app.ActiveDoc()->GetTitle(), QStringLiteral("zuletzt.bmp"));
    // Opening it again only brings its window forward.
    app.Frame().OnCommand(ID_FILE_MRU_FILE1);
    EXPECT_EQ(app.App().GetDocManager()->GetDocuments().size(), 1);
}

// A file the program cannot read (a palette bitmap with RLE-compressed rows, as ImageMagick
// writes them): its message, then an empty picture whose first paint receives. That picture is
// not the file's: Ctrl+S asks for a name, the file stays as it was and off the recent-file list,
// and a picture without rows is written nowhere, also when the file is named again.
TEST(Commands, UnreadableFileIsNeverASaveTarget)
{
    CBmpRecipe recipe;
    recipe.nBitCount = 8;
    recipe.nCompression = 1;  // BI_RLE8
    recipe.nColorEntries = 4;
    const std::string strBytes = MakeBmpFile(recipe);
    const QString strFile = QDir(TestDir()).filePath(QStringLiteral("palette-rle.bmp"));
    struct {
        const char* pLink;
        int32_t nRows;  // of the received picture; 0: the receive dialog is cancelled
    } const cases[] = {{"sim:version=0", 0}, {"sim:picture=card", 144}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pLink);
        WriteBytes(strFile.toStdString(), strBytes);
        const CLinkForScope link(c.pLink);
        CModalAnswerer answerer([](QWidget* pModal) {
            if (auto* pBox = qobject_cast<QMessageBox*>(pModal))
                pBox->escapeButton()->click();
            else if (auto* pDialog = qobject_cast<QDialog*>(pModal))
                QTimer::singleShot(300, pDialog, &QDialog::reject);
        });
        answerer.SetAnswerAll(c.nRows == 0);  // a received print closes the dialog by itself
        CMessageCollector messages;
        CRunningApp app({strFile});
        ASSERT_TRUE(app.IsStarted());
        ASSERT_TRUE(app.WaitForReception());
        EXPECT_EQ(messages.GetMessages(), std::vector<std::string>{"Invalid bitmap file"});
        CQuillomatDoc* pDoc = app.ActiveDoc();
        ASSERT_NE(pDoc, nullptr);
        EXPECT_EQ(pDoc->GetDib().GetDimensions(), (CSize{160, c.nRows}));
        EXPECT_TRUE(pDoc->GetPathName().isEmpty());
        EXPECT_TRUE(pDoc->GetTitle().startsWith(QStringLiteral("Quillo"))) << pDoc->GetTitle().toStdString();
        EXPECT_FALSE(app.App().GetRecentFileList().GetFiles().contains(QFileInfo(strFile).absoluteFilePath()));
        // Only a picture with rows has something to lose when it closes.
        EXPECT_EQ(pDoc->IsModified(), c.nRows > 0);

        int nFileDialogs = 0;
        {
            CModalAnswerer cancel([&](QWidget* pModal) {
                nFileDialogs += qobject_cast<QFileDialog*>(pModal) != nullptr;
                qobject_cast<QDialog*>(pModal)->reject();
            });
            cancel.SetAnswerAll(true);
            PressKeys(app.Frame(), QKeySequence(Qt::CTRL | Qt::Key_S));
        }
        EXPECT_EQ(nFileDialogs, 1);
        EXPECT_EQ(ReadBytes(strFile.toStdString()), strBytes);

        // Named again, on purpose: a picture with rows replaces the file, one without rows does not.
        {
            CModalAnswerer name([&](QWidget* pModal) {
                if (auto* pBox = qobject_cast<QMessageBox*>(pModal)) {
                    (pBox->button(QMessageBox::Yes) ? pBox->button(QMessageBox::Yes) : pBox->escapeButton())->click();
                } else if (auto* pDialog = qobject_cast<QFileDialog*>(pModal)) {
                    // The question whether to replace it is the user's yes here.
                    pDialog->setOption(QFileDialog::DontConfirmOverwrite);
                    ChooseFileAndAccept(pDialog, strFile);
                }
            });
            name.SetAnswerAll(true);
            PressKeys(app.Frame(), QKeySequence(Qt::CTRL | Qt::Key_S));
        }
        CDib saved;
        if (c.nRows == 0) {
            EXPECT_EQ(messages.GetMessages().back(), DOC_MSG_NO_ROWS);
            EXPECT_EQ(ReadBytes(strFile.toStdString()), strBytes);
            EXPECT_TRUE(pDoc->GetPathName().isEmpty());
        } else {
            ASSERT_TRUE(saved.ReadFile(strFile.toStdString()).Ok());
            EXPECT_EQ(saved.GetDimensions(), (CSize{160, c.nRows}));
            EXPECT_EQ(pDoc->GetPathName(), QFileInfo(strFile).absoluteFilePath());
        }
    }
}
