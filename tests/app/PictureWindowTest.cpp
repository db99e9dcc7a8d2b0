// Picture windows: start-up with and without a file, the reception on the first paint, paste,
// save and reopen, a second window, undo, and the question before a modified picture closes.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QApplication>
#include <QProcess>
#include <QAbstractButton>
#include <QFileInfo>
#include <set>
#include <QScrollBar>

#include <fstream>

#include "AppTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CPreviewDlg.h"
#include "app/CDocManager.h"
#include "app/CMainFrame.h"
#include "app/CQuillomatApp.h"
#include "app/CQuillomatDoc.h"
#include "app/CQuillomatView.h"
#include "app/QtDibClipboard.h"
#include "effects/UndoSnapshot.h"
#include "res/Resource.h"

namespace {

void PutImageOnClipboard(int nWidth, int nHeight)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    image.fill(QColor(0x20, 0x40, 0x60));
    auto* pData = new QMimeData;
    pData->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(pData);
}

// Starts the program without arguments and waits for the simulated console's picture.
struct CReceivedStart {
    CModalAnswerer answerer;  // any message box of the reception is answered
    CRunningApp app;
    bool bReceived = false;
    CReceivedStart() { bReceived = app.IsStarted() && app.WaitForReception(); }
};

// Renders the first page of a PDF file at 100 dpi (poppler's pdftoppm) and returns the size, in
// inches, of what is printed on it: the box round every pixel that is not white.
QSizeF PrintedSizeInInches(const QString& strPdf)
{
    constexpr int RENDER_DPI = 100;
    const QString strBase = strPdf + QStringLiteral(".render");
    QProcess render;
    render.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(RENDER_DPI), QStringLiteral("-gray"),
                                              QStringLiteral("-singlefile"), strPdf, strBase});
    if (!render.waitForFinished(60000) || render.exitCode() != 0) {
        ADD_FAILURE() << "pdftoppm (poppler-utils) could not render " << strPdf.toStdString();
        return {};
    }
    const QImage page(strBase + QStringLiteral(".pgm"));
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 250)
                box |= QRect(x, y, 1, 1);
    return QSizeF(box.width(), box.height()) / RENDER_DPI;
}

} // namespace

TEST(PictureWindow, StartWithoutArgumentsReceivesAPicture)
{
    CReceivedStart start;
    ASSERT_TRUE(start.app.IsStarted());
    ASSERT_TRUE(start.bReceived);
    CQuillomatDoc* pDoc = start.app.ActiveDoc();
    CQuillomatView* pView = start.app.ActiveView();
    // The built-in test card: 160 x 144, i.e. 5760 bytes.
    EXPECT_EQ(pView->m_nTileBytes, 5760);
    EXPECT_EQ(pDoc->GetDib().GetDimensions(), (CSize{160, 144}));
    EXPECT_EQ(pDoc->GetDib().GetBitCount(), 24);
    EXPECT_EQ(pView->GetTotalSize(), (CSize{160, 144}));
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(pDoc->GetTitle(), QStringLiteral("Quillo1"));
    // The window shrank to the picture.
    EXPECT_EQ(pView->viewport()->size(), QSize(160, 144));
    EXPECT_GE(pDoc->m_nPaintCount, 1);
    // The four greys of the test card are in the picture.
    std::set<uint32_t> colours;
    for (int y = 0; y < 144; ++y)
        for (int x = 0; x < 160; ++x)
            colours.insert(pDoc->GetDib().GetPixel({x, y}));
    EXPECT_EQ(colours, (std::set<uint32_t>{0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000}));
    EXPECT_TRUE(QFileInfo::exists(QDir(TestDir()).filePath(QStringLiteral("Tarvo.log"))));
}

TEST(PictureWindow, FileArgumentOpensWithoutReception)
{
    const QString strFile = WriteTestBitmap(QStringLiteral("geoeffnet.bmp"), 50, 20);
    ASSERT_FALSE(strFile.isEmpty());
    int nDialogs = 0;
    CModalAnswerer answerer([&](QWidget* pModal) {
        ++nDialogs;
        if (auto* p = qobject_cast<QDialog*>(pModal))
            p->reject();
    });
    answerer.SetAnswerAll(true);
    CRunningApp app({strFile});
    ASSERT_TRUE(app.IsStarted());
    CQuillomatView* pView = app.ActiveView();
    ASSERT_NE(pView, nullptr);
    // Let it paint a few times.
    pView->viewport()->repaint();
    WaitFor([] { return false; }, 300);
    EXPECT_FALSE(pView->IsReceptionPending());
    EXPECT_EQ(nDialogs, 0);
    EXPECT_EQ(app.ActiveDoc()->GetDib().GetDimensions(), (CSize{50, 20}));
    EXPECT_FALSE(app.ActiveDoc()->IsModified());
    EXPECT_EQ(app.ActiveDoc()->GetTitle(), QStringLiteral("geoeffnet.bmp"));
    EXPECT_EQ(pView->GetTotalSize(), (CSize{50, 20}));
}

TEST(PictureWindow, UnreadableFileOpensEmptyAndReceivesOnFirstPaint)
{
    const QString strFile = QDir(TestDir()).filePath(QStringLiteral("kaputt.pcx"));
    {
        std::ofstream out(strFile.toStdString(), std::ios::binary);
        out << "kein Bitmap";
    }
    CMessageCollector messages;
    CReceivedStart start;  // would be without arguments; open the file instead below
    ASSERT_TRUE(start.bReceived);
    CDocument* pDoc = start.app.App().GetDocManager()->OpenDocumentFile(strFile);
    ASSERT_NE(pDoc, nullptr);
    EXPECT_FALSE(messages.GetMessages().empty());  // the bitmap reader said why
    ASSERT_TRUE(start.app.WaitForReception());
    EXPECT_EQ(start.app.ActiveDoc(), pDoc);
    EXPECT_EQ(start.app.ActiveDoc()->GetDib().GetDimensions(), (CSize{160, 144}));
}

TEST(PictureWindow, PasteStateFollowsTheClipboard)
{
    const QString strFile = WriteTestBitmap(QStringLiteral("einfuegen.bmp"), 16, 16);
    CRunningApp app({strFile});
    ASSERT_TRUE(app.IsStarted());
    CMainFrame& frame = app.Frame();
    struct {
        const char* pszName;
        std::function<void()> fnSet;
        bool bEnabled;
    } const cases[] = {
        {"empty", [] { QGuiApplication::clipboard()->clear(); }, false},
        {"text", [] { QGuiApplication::clipboard()->setText(QStringLiteral("Text")); }, false},
        {"image", [] { PutImageOnClipboard(3, 3); }, true},
        {"emptied by another program", [] { QGuiApplication::clipboard()->setMimeData(new QMimeData); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        c.fnSet();
        QCoreApplication::processEvents();
        EXPECT_EQ(frame.IsCommandEnabled(ID_EDIT_PASTE), c.bEnabled);
        for (QAction* pAction : frame.FindCommandActions(ID_EDIT_PASTE))
            if (!frame.GetAcceleratorActions().contains(pAction)) {
                EXPECT_EQ(pAction->isEnabled(), c.bEnabled);
            }
    }
    // Pasting with nothing there: the message, the picture unchanged.
    QGuiApplication::clipboard()->clear();
    CModalAnswerer answerer;
    app.ActiveView()->OnEditPaste();
    EXPECT_EQ(answerer.GetTexts(), QStringList{QStringLiteral("Kann Zwischenablage nicht darstellen!")});
    EXPECT_EQ(app.ActiveDoc()->GetDib().GetDimensions(), (CSize{16, 16}));
    EXPECT_FALSE(app.ActiveDoc()->IsModified());
}

TEST(PictureWindow, PasteIntoAReceivedPictureKeepsTheWindow)
{
    CReceivedStart start;
    ASSERT_TRUE(start.bReceived);
    CQuillomatView* pView = start.app.ActiveView();
    CQuillomatDoc* pDoc = start.app.ActiveDoc();
    CChildFrame* pFrame = pView->GetParentFrame();
    ASSERT_NE(pFrame, nullptr);
    pDoc->SetModifiedFlag(false);
    const QSize frameSize = pFrame->size();

    PutImageOnClipboard(320, 200);
    start.app.Frame().OnCommand(ID_EDIT_PASTE);
    QCoreApplication::processEvents();
    EXPECT_EQ(pDoc->GetDib().GetDimensions(), (CSize{320, 200}));
    EXPECT_EQ(pView->GetTotalSize(), (CSize{320, 200}));
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(pFrame->size(), frameSize);
    // The picture is bigger than the window now: it scrolls.
    EXPECT_GT(pView->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(pView->verticalScrollBar()->maximum(), 0);
}

TEST(PictureWindow, SavedReceptionReopensWithoutReceiving)
{
    CReceivedStart start;
    ASSERT_TRUE(start.bReceived);
    CQuillomatDoc* pDoc = start.app.ActiveDoc();
    const QString strPath = QDir(TestDir()).filePath(QStringLiteral("empfangen.bmp"));
    QFile::remove(strPath);
    // "Speichern" of a new picture asks for a name, offering its title.
    QString strOffered;
    CModalAnswerer answerer([&](QWidget* pModal) {
        auto* pDialog = qobject_cast<QFileDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        strOffered = QFileInfo(pDialog->selectedFiles().value(0)).fileName();
        ChooseFileAndAccept(pDialog, strPath);
    });
    answerer.SetAnswerAll(true);
    start.app.Frame().OnCommand(ID_FILE_SAVE);
    EXPECT_TRUE(strOffered.startsWith(QStringLiteral("Quillo1"))) << strOffered.toStdString();
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ(pDoc->GetTitle(), QStringLiteral("empfangen.bmp"));

    CDib saved;
    ASSERT_TRUE(saved.ReadFile(strPath.toStdString()).Ok());
    EXPECT_EQ(saved.GetDimensions(), (CSize{160, 144}));
    EXPECT_EQ(saved.GetBitCount(), 24);
    EXPECT_EQ(saved.GetPixel({5, 5}), pDoc->GetDib().GetPixel({5, 5}));

    // Closing and opening it again: the same picture, no reception.
    start.app.Frame().OnCommand(ID_FILE_CLOSE);
    ASSERT_TRUE(WaitFor([&] { return start.app.ActiveView() == nullptr; }, 5000));
    CDocument* pReopened = start.app.App().GetDocManager()->OpenDocumentFile(strPath);
    ASSERT_NE(pReopened, nullptr);
    CQuillomatView* pView = start.app.ActiveView();
    ASSERT_NE(pView, nullptr);
    pView->viewport()->repaint();
    WaitFor([] { return false; }, 300);
    EXPECT_FALSE(pView->IsReceptionPending());
    EXPECT_EQ(start.app.ActiveDoc()->GetDib().GetDimensions(), (CSize{160, 144}));
    EXPECT_EQ(start.app.ActiveDoc()->GetDib().GetPixel({5, 5}), saved.GetPixel({5, 5}));
    EXPECT_FALSE(start.app.ActiveDoc()->IsModified());
}

TEST(PictureWindow, SecondWindowSharesThePictureNotTheSettings)
{
    CReceivedStart start;
    ASSERT_TRUE(start.bReceived);
    CQuillomatView* pFirst = start.app.ActiveView();
    CQuillomatDoc* pDoc = start.app.ActiveDoc();
    pFirst->m_nColorChoice = 5;
    pFirst->m_SoftenSettings.m_nSoftPasses = 7;
    start.app.Frame().OnCommand(ID_WINDOW_NEW);
    CQuillomatView* pSecond = start.app.ActiveView();
    ASSERT_NE(pSecond, pFirst);
    EXPECT_EQ(pSecond->GetDocument(), pDoc);
    pSecond->viewport()->repaint();
    WaitFor([] { return false; }, 200);
    EXPECT_FALSE(pSecond->IsReceptionPending());
    EXPECT_EQ(pSecond->m_nColorChoice, 0);
    EXPECT_EQ(pSecond->m_SoftenSettings.m_nSoftPasses, 1);
    EXPECT_EQ(pSecond->m_SoftenSettings.m_nSoftSize, 8);
    EXPECT_EQ(pSecond->GetTotalSize(), (CSize{160, 144}));
    EXPECT_EQ(pDoc->GetViews().size(), 2);
    EXPECT_EQ(pSecond->GetParentFrame()->windowTitle(), QStringLiteral("Quillo1:2"));
    EXPECT_EQ(pFirst->GetParentFrame()->windowTitle(), QStringLiteral("Quillo1:1"));
    // Closing one of the two windows asks nothing; the other shows the plain title again.
    CModalAnswerer answerer;
    pSecond->GetParentFrame()->close();
    ASSERT_TRUE(WaitFor([&] { return pDoc->GetViews().size() == 1; }, 5000));
    EXPECT_EQ(answerer.GetCount(), 0);
    EXPECT_EQ(pFirst->GetParentFrame()->windowTitle(), QStringLiteral("Quillo1"));
}

TEST(PictureWindow, UndoIsEnabledExactlyWhileASnapshotExists)
{
    const QString strFile = WriteTestBitmap(QStringLiteral("rueckgaengig.bmp"), 8, 8);
    CRunningApp app({strFile});
    ASSERT_TRUE(app.IsStarted());
    CMainFrame& frame = app.Frame();
    CQuillomatDoc* pDoc = app.ActiveDoc();
    EXPECT_FALSE(frame.IsCommandEnabled(ID_EDIT_UNDO));
    const uint32_t nBefore = pDoc->GetDib().GetPixel({3, 3});
    ASSERT_TRUE(pDoc->GetUndo().SaveUndo(pDoc->GetDib(), UNDO_COLORIZE));
    pDoc->GetDib().SetPixel({3, 3}, 0x010203);
    EXPECT_TRUE(frame.IsCommandEnabled(ID_EDIT_UNDO));
    frame.OnCommand(ID_EDIT_UNDO);
    EXPECT_EQ(pDoc->GetDib().GetPixel({3, 3}), nBefore);
    EXPECT_FALSE(pDoc->GetUndo().HasSnapshot());
    EXPECT_FALSE(frame.IsCommandEnabled(ID_EDIT_UNDO));
    EXPECT_FALSE(pDoc->IsModified());  // undo leaves the flag alone
}

TEST(PictureWindow, ClosingAModifiedPictureAsks)
{
    CReceivedStart start;
    ASSERT_TRUE(start.bReceived);
    CQuillomatDoc* pDoc = start.app.ActiveDoc();
    // Abbrechen keeps the window; Nein closes it without saving.
    {
        CModalAnswerer cancel([](QWidget* pModal) {
            auto* pBox = qobject_cast<QMessageBox*>(pModal);
            ASSERT_NE(pBox, nullptr);
            pBox->button(QMessageBox::Cancel)->click();
        });
        start.app.Frame().OnCommand(ID_FILE_CLOSE);
        EXPECT_EQ(cancel.GetTexts(), QStringList{QStringLiteral("Änderungen in Quillo1 speichern?")});
        EXPECT_EQ(start.app.ActiveDoc(), pDoc);
    }
    {
        QStringList buttons;
        CModalAnswerer no([&](QWidget* pModal) {
            auto* pBox = qobject_cast<QMessageBox*>(pModal);
            ASSERT_NE(pBox, nullptr);
            for (QAbstractButton* pButton : pBox->buttons())
                buttons << pButton->text().remove(QLatin1Char('&'));
            pBox->button(QMessageBox::No)->click();
        });
        start.app.Frame().OnCommand(ID_FILE_CLOSE);
        EXPECT_EQ(no.GetCount(), 1);
        ASSERT_TRUE(WaitFor([&] { return start.app.ActiveView() == nullptr; }, 5000));
        buttons.sort();
        EXPECT_EQ(buttons, (QStringList{QStringLiteral("Abbrechen"), QStringLiteral("Ja"), QStringLiteral("Nein")}));
    }
    // A second new document is "Quillo2".
    CModalAnswerer answerer;
    start.app.Frame().OnCommand(ID_FILE_READGB);
    ASSERT_TRUE(start.app.WaitForReception());
    EXPECT_EQ(start.app.ActiveDoc()->GetTitle(), QStringLiteral("Quillo2"));
}

TEST(PictureWindow, PrintingAndPreviewPaintThePage)
{
    const QString strFile = WriteTestBitmap(QStringLiteral("drucken.bmp"), 160, 144);
    CRunningApp app({strFile});
    ASSERT_TRUE(app.IsStarted());
    QPrinter* pPrinter = app.App().GetPrinter();
    pPrinter->setOutputFormat(QPrinter::PdfFormat);
    // On paper the picture has about the size a 300 dpi printer gives it, 693 x 624 of its
    // dots, whatever the resolution the printer reports: every pixel the whole number of the
    // printer's dots that comes nearest to 1300 / 300 of a 300 dpi printer's.
    for (int nDpi : {1200, 600, 300, 72}) {
        SCOPED_TRACE(nDpi);
        const QString strPdf = QDir(TestDir()).filePath(QStringLiteral("druck%1.pdf").arg(nDpi));
        pPrinter->setOutputFileName(strPdf);
        pPrinter->setResolution(nDpi);
        app.ActiveView()->PrintTo(pPrinter);
        const QSizeF inches = PrintedSizeInInches(strPdf);
        const int nBlock = qRound(nDpi * 1300.0 / (300 * 300));
        EXPECT_NEAR(inches.width(), 160.0 * nBlock / nDpi, 0.03);
        EXPECT_NEAR(inches.height(), 144.0 * nBlock / nDpi, 0.03);
        EXPECT_NEAR(inches.width(), 693.0 / 300, 0.5 * 160 / nDpi + 0.03);
    }
    // "Seitenansicht": the page drawn by the view, every button of its row in sight (none cut
    // off by a window too narrow), and "Schließen" the way back.
    app.Frame().resize(400, 300);
    CModalAnswerer answerer([](QWidget* pModal) {
        auto* pPreview = qobject_cast<CPreviewDlg*>(pModal);
        ASSERT_NE(pPreview, nullptr);
        EXPECT_EQ(pPreview->windowTitle(), QStringLiteral("Seitenansicht"));
        EXPECT_EQ(pPreview->GetPreview()->pageCount(), 1);
        QStringList buttons;
        for (QPushButton* pButton : pPreview->findChildren<QPushButton*>()) {
            buttons << pButton->text().remove(QLatin1Char('&'));
            const QRect rc(pButton->mapTo(pPreview, QPoint(0, 0)), pButton->size());
            EXPECT_TRUE(pButton->isVisible() && pPreview->rect().contains(rc)) << pButton->text().toStdString();
        }
        EXPECT_EQ(buttons, (QStringList{QStringLiteral("Drucken..."), QString::fromUtf8("Nächste Seite"),
                                        QStringLiteral("Vorherige Seite"), QStringLiteral("Zwei Seiten"),
                                        QString::fromUtf8("Vergrößern"), QStringLiteral("Verkleinern"),
                                        QString::fromUtf8("Schließen")}));
        auto* pClose = pPreview->findChild<QPushButton*>(QStringLiteral("close"));
        EXPECT_EQ(pClose->statusTip(), QStringLiteral("Beendet die Seitenansicht."));
        pClose->click();
    });
    answerer.SetAnswerAll(true);
    app.Frame().OnCommand(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(answerer.GetCount(), 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // "Drucken..." leaves the preview for the print dialog.
    QStringList modals;
    CModalAnswerer printing([&modals](QWidget* pModal) {
        modals << QString::fromLatin1(pModal->metaObject()->className());
        if (auto* pPreview = qobject_cast<CPreviewDlg*>(pModal))
            pPreview->findChild<QPushButton*>(QStringLiteral("print"))->click();
        else
            qobject_cast<QDialog*>(pModal)->reject();
    });
    printing.SetAnswerAll(true);
    app.Frame().OnCommand(ID_FILE_PRINT_PREVIEW);
    EXPECT_EQ(modals, (QStringList{QStringLiteral("CPreviewDlg"), QStringLiteral("QPrintDialog")}));
}

// Printed, the picture keeps its pixels: the PDF holds it without JPEG compression (which rang
// round every edge), and each picture pixel is an even block of the printer's dots.
TEST(PictureWindow, PrintingKeepsEveryPixelAsAnEvenBlock)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(160, 144));
    const uint32_t greys[4] = {0xFFFFFF, 0xAAAAAA, 0x555555, 0x000000};
    for (int y = 0; y < 144; ++y)
        for (int x = 0; x < 160; ++x)
            dib.SetPixel({x, y}, greys[(x / 3 + y / 5 + (x == y)) % 4]);
    const QString strFile = QDir(TestDir()).filePath(QStringLiteral("grau.bmp"));
    ASSERT_TRUE(dib.WriteFile(strFile.toStdString()).Ok());
    CRunningApp app({strFile});
    ASSERT_TRUE(app.IsStarted());
    QPrinter* pPrinter = app.App().GetPrinter();
    pPrinter->setOutputFormat(QPrinter::PdfFormat);
    struct {
        int nDpi;
        int nBlock;  // printer dots per picture pixel
    } const cases[] = {{600, 9}, {300, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nDpi);
        const QString strPdf = QDir(TestDir()).filePath(QStringLiteral("bloecke%1.pdf").arg(c.nDpi));
        pPrinter->setOutputFileName(strPdf);
        pPrinter->setResolution(c.nDpi);
        app.ActiveView()->PrintTo(pPrinter);
        // pdfimages -list: two header lines, then one line per image: page, num, type, width,
        // height, color, comp, bpc, enc (the compression), interp, ...
        QProcess list;
        list.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), strPdf});
        ASSERT_TRUE(list.waitForFinished(60000) && list.exitCode() == 0) << "pdfimages (poppler-utils) failed";
        const QStringList lines = QString::fromLatin1(list.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
        const QStringList columns = lines[2].split(' ', Qt::SkipEmptyParts);
        ASSERT_GT(columns.size(), 9);
        EXPECT_EQ(columns[8], QStringLiteral("image")) << lines[2].toStdString();  // Flate, not jpeg
        EXPECT_EQ(columns[9], QStringLiteral("no")) << lines[2].toStdString();     // no interpolation asked for
        EXPECT_EQ(columns[3].toInt(), 160 * c.nBlock);
        EXPECT_EQ(columns[4].toInt(), 144 * c.nBlock);
        // The image itself: every picture pixel a block of its own grey, nothing in between.
        const QString strPrefix = strPdf + QStringLiteral(".bild");
        QProcess extract;
        extract.start(QStringLiteral("pdfimages"), {QStringLiteral("-png"), strPdf, strPrefix});
        ASSERT_TRUE(extract.waitForFinished(60000) && extract.exitCode() == 0);
        const QImage printed(strPrefix + QStringLiteral("-000.png"));
        ASSERT_EQ(printed.size(), QSize(160 * c.nBlock, 144 * c.nBlock));
        for (int y = 0; y < printed.height(); ++y)
            for (int x = 0; x < printed.width(); ++x)
                ASSERT_EQ(printed.pixel(x, y) & 0xFFFFFF, dib.GetPixel({x / c.nBlock, y / c.nBlock})) << x << "," << y;
    }
}

TEST(PictureWindow, CancelledReceptionGivesAnEmptyRowlessPicture)
{
    // No module at all: the dialog waits until the user presses "Abbrechen".
    const QByteArray previous = qgetenv("QUILLOMAT_LINK");
    qputenv("QUILLOMAT_LINK", "sim:version=0");
    int nDialogs = 0;
    {
        CModalAnswerer answerer([&](QWidget* pModal) {
            ++nDialogs;
            if (auto* pBox = qobject_cast<QMessageBox*>(pModal))
                pBox->escapeButton()->click();
            else if (auto* pDialog = qobject_cast<QDialog*>(pModal))
                QTimer::singleShot(300, pDialog, &QDialog::reject);  // after a few attempts
        });
        answerer.SetAnswerAll(true);
        CRunningApp app;
        ASSERT_TRUE(app.IsStarted());
        ASSERT_TRUE(app.WaitForReception());
        CQuillomatView* pView = app.ActiveView();
        CQuillomatDoc* pDoc = app.ActiveDoc();
        EXPECT_EQ(pView->m_nTileBytes, 0);
        EXPECT_EQ(pDoc->GetDib().GetDimensions(), (CSize{160, 0}));
        EXPECT_FALSE(pDoc->IsModified());  // nothing to lose: closing it asks nothing
        EXPECT_EQ(nDialogs, 1);
        // Painting again, or a second window, never brings the dialog back.
        pView->viewport()->repaint();
        app.Frame().OnCommand(ID_WINDOW_NEW);
        WaitFor([] { return false; }, 300);
        EXPECT_EQ(nDialogs, 1);
        EXPECT_EQ(pDoc->GetViews().size(), 2);
    }
    qputenv("QUILLOMAT_LINK", previous);
}

TEST(PictureWindow, OpenedPictureShrinksItsWindowButNeverGrowsIt)
{
    const QString strSmall = WriteTestBitmap(QStringLiteral("klein.bmp"), 120, 90);
    const QString strLarge = WriteTestBitmap(QStringLiteral("gross.bmp"), 2000, 1500);
    CRunningApp app({strSmall});
    ASSERT_TRUE(app.IsStarted());
    QCoreApplication::processEvents();
    EXPECT_EQ(app.ActiveView()->viewport()->size(), QSize(120, 90));

    CDocument* pLarge = app.App().GetDocManager()->OpenDocumentFile(strLarge);
    ASSERT_NE(pLarge, nullptr);
    CQuillomatView* pView = app.ActiveView();
    ASSERT_EQ(pView->GetDocument(), pLarge);
    QSize area = app.Frame().GetMdiArea()->viewport()->size();
    EXPECT_LE(pView->GetParentFrame()->width(), area.width());
    EXPECT_LE(pView->GetParentFrame()->height(), area.height());
    EXPECT_EQ(pView->GetTotalSize(), (CSize{2000, 1500}));
    EXPECT_GT(pView->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(pView->verticalScrollBar()->maximum(), 0);
}

// After a reception the status bar says what the picture is, in the words the command line
// prints: an exact print, and one whose palette the picture does not show.
TEST(PictureWindow, StatusBarSaysWhatTheReceptionBrought)
{
    const QByteArray previous = qgetenv("QUILLOMAT_LINK");
    const struct {
        const char* pLink;
        const char* pStatus;
    } CASES[] = {
        {"sim", "Empfangen: Bild exakt (9 Blöcke)"},
        {"sim:palette=1B", "Empfangen: Nicht das ganze Bild (9 Blöcke) – nicht das ganze Bild: die Palette 1B"},
    };
    for (const auto& c : CASES) {
        SCOPED_TRACE(c.pLink);
        qputenv("QUILLOMAT_LINK", c.pLink);
        CReceivedStart start;
        ASSERT_TRUE(start.bReceived);
        const QString strExpected = QString::fromUtf8(c.pStatus);
        QLabel* pPane = start.app.Frame().GetReceptionPane();
        ASSERT_NE(pPane, nullptr);
        EXPECT_TRUE(WaitFor([&] { return pPane->text().startsWith(strExpected); }, 5000))
            << pPane->text().toStdString();
    }
    qputenv("QUILLOMAT_LINK", previous);
}
