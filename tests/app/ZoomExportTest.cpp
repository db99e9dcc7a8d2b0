// The zoom of a picture window, "Speichern unter" with a size, and copying enlarged: the screen
// shows every picture pixel as a square block, the files and the clipboard get the picture's
// own pixels enlarged, and the picture itself never changes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "AppTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CQuillomatApp.h"
#include "app/CQuillomatDoc.h"
#include "app/CQuillomatView.h"
#include "app/QtDibClipboard.h"
#include "bitmap/PictureFile.h"
#include "res/Resource.h"

namespace {

struct CReceivedWindow : ::testing::Test {
    CModalAnswerer answerer;  // any message box of the reception is answered
    CRunningApp app;
    CQuillomatView* pView = nullptr;
    void SetUp() override {
        ASSERT_TRUE(app.IsStarted() && app.WaitForReception());
        pView = app.ActiveView();
        ASSERT_NE(pView, nullptr);
        ASSERT_EQ(app.ActiveDoc()->GetDib().GetDimensions(), (CSize{160, 144}));
        QApplication::setActiveWindow(&app.Frame());
    }
    // Every pixel of the picture nScale times as large, each a block of its colour.
    static void ExpectBlocks(const CDib& picture, const std::function<uint32_t(int, int)>& fnAt, int nScale) {
        const CSize size = picture.GetDimensions();
        for (int y = 0; y < size.cy * nScale; ++y)
            for (int x = 0; x < size.cx * nScale; ++x)
                ASSERT_EQ(fnAt(x, y) & 0xFFFFFF, picture.GetPixel({x / nScale, y / nScale})) << x << "," << y;
    }
};

TEST_F(CReceivedWindow, ZoomShowsEveryPixelAsABlockAndTheWindowGrowsWithIt) {
    CMainFrame& frame = app.Frame();
    const CDib& dib = app.ActiveDoc()->GetDib();
    const std::vector<uint8_t> bits(dib.GetBits(), dib.GetBits() + dib.GetImageSize());
    EXPECT_EQ(frame.GetZoomPane()->text(), QStringLiteral("Zoom 1×"));
    EXPECT_FALSE(frame.IsCommandEnabled(ID_VIEW_ZOOM_OUT));

    // Ctrl++ twice, as typed: three times as large, and the window has grown to show all of it.
    QTest::keyClick(pView->viewport(), Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(pView->viewport(), Qt::Key_Plus, Qt::ControlModifier);
    ASSERT_EQ(pView->GetZoom(), 3);
    EXPECT_EQ(pView->GetTotalSize(), (CSize{480, 432}));
    QCoreApplication::processEvents();  // the scroll bars settle
    ASSERT_GE(pView->viewport()->width(), 480);
    ASSERT_GE(pView->viewport()->height(), 432);
    EXPECT_EQ(frame.GetZoomPane()->text(), QStringLiteral("Zoom 3×"));
    const QImage shown = pView->viewport()->grab().toImage();
    ExpectBlocks(dib, [&](int x, int y) { return uint32_t(shown.pixel(x, y)); }, 3);
    EXPECT_EQ(std::vector<uint8_t>(dib.GetBits(), dib.GetBits() + dib.GetImageSize()), bits);

    // Steps 4, 6, 8 and no further; Ctrl+- back down; Ctrl+0 back to the picture's size.
    for (int nStep : {4, 6, 8, 8}) {
        frame.OnCommand(ID_VIEW_ZOOM_IN);
        EXPECT_EQ(pView->GetZoom(), nStep);
    }
    EXPECT_FALSE(frame.IsCommandEnabled(ID_VIEW_ZOOM_IN));
    // 1280 × 1152 is more than the main window: the window stops at its edge and scrolls.
    CChildFrame* pFrame = pView->GetParentFrame();
    const QRect area(QPoint(0, 0), pFrame->mdiArea()->viewport()->size());
    EXPECT_TRUE(area.contains(pFrame->geometry())) << pFrame->geometry().width() << "x" << pFrame->geometry().height();
    EXPECT_GT(pView->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(pView->verticalScrollBar()->maximum(), 0);
    QTest::keyClick(pView->viewport(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(pView->GetZoom(), 6);
    QTest::keyClick(pView->viewport(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(pView->GetZoom(), 1);
    EXPECT_EQ(pView->viewport()->size(), QSize(160, 144));

    // Ctrl+wheel over the picture: one step a notch.
    QWheelEvent wheel(QPointF(80, 72), pView->viewport()->mapToGlobal(QPointF(80, 72)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(pView->viewport(), &wheel);
    EXPECT_EQ(pView->GetZoom(), 2);

    // "An Fenster anpassen": the largest step that fits into the main window.
    frame.OnCommand(ID_VIEW_ZOOM_FIT);
    const int nFit = pView->GetZoom();
    EXPECT_TRUE(area.contains(pFrame->geometry()));
    EXPECT_EQ(pView->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(pView->verticalScrollBar()->maximum(), 0);
    EXPECT_LT(area.height(), 144 * (nFit == 4 ? 6 : nFit + 1));

    // A second window on the picture keeps a zoom of its own.
    frame.OnCommand(ID_WINDOW_NEW);
    ASSERT_TRUE(WaitFor([&] { return app.ActiveView() != pView; }, 5000));
    EXPECT_EQ(app.ActiveView()->GetZoom(), 1);
    EXPECT_EQ(pView->GetZoom(), nFit);
    EXPECT_EQ(frame.GetZoomPane()->text(), QStringLiteral("Zoom 1×"));
}

TEST_F(CReceivedWindow, SaveAsFourTimesWritesAnEnlargedCopyAndKeepsTheDocument) {
    const QString strPath = QDir(TestDir()).filePath(QStringLiteral("gross.png"));
    QFile::remove(strPath);
    bool bBmpSizeEnabled = true;
    CModalAnswerer saveAs([&](QWidget* pModal) {
        auto* pDialog = qobject_cast<QFileDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        auto* pSize = pDialog->findChild<QComboBox*>(QStringLiteral("saveScale"));
        ASSERT_NE(pSize, nullptr);
        EXPECT_EQ(pSize->currentText(), QStringLiteral("1×"));
        bBmpSizeEnabled = pSize->isEnabled();  // a bitmap name under the bitmap filter: no size
        pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(strPath);
        ASSERT_TRUE(pSize->isEnabled());
        pSize->setCurrentIndex(pSize->findText(QStringLiteral("4×")));
        static_cast<QDialog*>(pDialog)->accept();
    });
    saveAs.SetAnswerAll(true);
    app.Frame().OnCommand(ID_FILE_SAVE_AS);
    EXPECT_FALSE(bBmpSizeEnabled);
    CDib saved;
    ASSERT_TRUE(ReadPictureFile(saved, strPath.toStdString()).Ok());
    ASSERT_EQ(saved.GetDimensions(), (CSize{640, 576}));
    const CDib& dib = app.ActiveDoc()->GetDib();
    ExpectBlocks(dib, [&](int x, int y) { return saved.GetPixel({x, y}); }, 4);
    // The document is still the unsaved picture at its own size.
    EXPECT_TRUE(app.ActiveDoc()->GetPathName().isEmpty());
    EXPECT_TRUE(app.ActiveDoc()->IsModified());
    EXPECT_EQ(dib.GetDimensions(), (CSize{160, 144}));
}

TEST_F(CReceivedWindow, CopyAtTheChosenSizePutsTheEnlargedPictureOnTheClipboard) {
    // "Kopiergröße..." asks once; the size is remembered.
    CModalAnswerer chooser([](QWidget* pModal) {
        auto* pDialog = qobject_cast<QInputDialog*>(pModal);
        ASSERT_NE(pDialog, nullptr);
        pDialog->setTextValue(QStringLiteral("4×"));
        pDialog->accept();
    });
    chooser.SetAnswerAll(true);
    app.Frame().OnCommand(ID_EDIT_COPY_SIZE);
    EXPECT_EQ(CQuillomatView::GetCopyScale(), 4);
    app.Frame().OnCommand(ID_EDIT_COPY);
    CQtDibClipboard clipboard;
    CDib pasted;
    ASSERT_TRUE(pasted.PasteFromClipboard(clipboard).Ok());
    ASSERT_EQ(pasted.GetDimensions(), (CSize{640, 576}));
    ExpectBlocks(app.ActiveDoc()->GetDib(), [&](int x, int y) { return pasted.GetPixel({x, y}); }, 4);
    CQuillomatView::SetCopyScale(1);
    app.Frame().OnCommand(ID_EDIT_COPY);
    ASSERT_TRUE(pasted.PasteFromClipboard(clipboard).Ok());
    EXPECT_EQ(pasted.GetDimensions(), (CSize{160, 144}));
}

}  // namespace
