// The main window: its menus as shown, the accelerators, the toolbar, the status bar, the
// profile value written at start and the command states.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include "AppTestSupport.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CQuillomatApp.h"
#include "app/CQuillomatDoc.h"
#include "app/CQuillomatView.h"
#include "app/QtDibClipboard.h"
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include "res/Menus.h"
#include "res/Resource.h"

namespace {

void ClearProfile()
{
    QSettings settings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat"));
    settings.clear();
    settings.sync();
}

struct CShownItem {
    int nId;
    QString strText;
};

// The menu bar as the user sees it: every popup's items, 0 for separators.
std::vector<std::pair<QString, std::vector<CShownItem>>> ShownMenus(CMainFrame& frame)
{
    std::vector<std::pair<QString, std::vector<CShownItem>>> menus;
    for (QAction* pBarAction : frame.menuBar()->actions()) {
        QMenu* pMenu = pBarAction->menu();
        if (!pMenu)
            continue;
        emit pMenu->aboutToShow();
        std::vector<CShownItem> items;
        for (QAction* pAction : pMenu->actions())
            items.push_back({pAction->isSeparator() ? 0 : pAction->property(COMMAND_ID_PROPERTY).toInt(), pAction->text()});
        menus.emplace_back(pMenu->title(), items);
    }
    return menus;
}

void ExpectMenuMatches(CMainFrame& frame, uint16_t nMenuId)
{
    auto shown = ShownMenus(frame);
    auto def = MenuBarDef(nMenuId);
    ASSERT_GE(shown.size(), def.size());
    for (size_t i = 0; i < def.size(); ++i) {
        EXPECT_EQ(shown[i].first, QString::fromUtf8(def[i].pszTitle));
        // The window popup lists the open windows after its items.
        ASSERT_GE(shown[i].second.size(), def[i].items.size()) << def[i].pszTitle;
        for (size_t j = 0; j < def[i].items.size(); ++j) {
            EXPECT_EQ(shown[i].second[j].nId, def[i].items[j].nId) << def[i].pszTitle << " " << j;
            if (def[i].items[j].pszText) {
                EXPECT_EQ(shown[i].second[j].strText, QString::fromUtf8(def[i].items[j].pszText));
            }
        }
    }
}

QAction* FirstAction(CMainFrame& frame, uint16_t nId)
{
    for (QAction* pAction : frame.FindCommandActions(nId))
        if (!frame.GetAcceleratorActions().contains(pAction))
            return pAction;
    return nullptr;
}

} // namespace

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearProfile();
        m_strFile = WriteTestBitmap(QStringLiteral("rahmen.bmp"), 40, 30);
        ASSERT_FALSE(m_strFile.isEmpty());
    }
    QString m_strFile;
};

TEST_F(MainFrameTest, ProfileValueIsFifteenAfterEveryStart)
{
    {
        QSettings settings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat"));
        settings.setValue(QStringLiteral("Horntest/ErsterVersuch"), 3);
    }
    CRunningApp app({m_strFile});
    ASSERT_TRUE(app.IsStarted());
    QSettings settings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat"));
    EXPECT_EQ(settings.value(QStringLiteral("Horntest/ErsterVersuch")).toInt(), 15);
}

TEST_F(MainFrameTest, MenusFollowThePictureWindow)
{
    CRunningApp app({m_strFile});
    ASSERT_TRUE(app.IsStarted());
    CMainFrame& frame = app.Frame();
    EXPECT_EQ(frame.windowTitle().left(9), QStringLiteral("Quillomat"));
    // A picture window is active: menu 129, with the file on the recent-file list.
    EXPECT_EQ(frame.GetMenuId(), IDR_QUILLOTYPE);
    auto shown = ShownMenus(frame);
    ASSERT_EQ(shown.size(), 6u);
    bool bRecent = false;
    for (const CShownItem& item : shown[0].second)
        if (item.nId == ID_FILE_MRU_FILE1)
            bRecent = item.strText == QStringLiteral("&1 rahmen.bmp");
    EXPECT_TRUE(bRecent);

    // The last window closed: menu 128.
    app.ActiveDoc()->SetModifiedFlag(false);
    app.App().OnCommand(0);  // unknown ids are ignored
    frame.OnCommand(ID_FILE_CLOSE);
    ASSERT_TRUE(WaitFor([&] { return frame.GetMenuId() == IDR_MAINFRAME; }, 5000));
    {
        QSettings settings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat"));
        settings.remove(QStringLiteral("Recent File List"));
    }
    app.App().GetRecentFileList().ReadList();
    ExpectMenuMatches(frame, IDR_MAINFRAME);
    // Without a picture window the picture's commands are off; the others on.
    for (uint16_t nId : {ID_FILE_SAVE, ID_FILE_PRINT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_WINDOW_NEW, ID_FILE_MRU_FILE1})
        EXPECT_FALSE(frame.IsCommandEnabled(nId)) << nId;
    for (uint16_t nId : {ID_FILE_NEW, ID_FILE_READGB, ID_FILE_OPEN, ID_FILE_PRINT_SETUP, ID_APP_EXIT, ID_APP_ABOUT})
        EXPECT_TRUE(frame.IsCommandEnabled(nId)) << nId;
    QAction* pSave = FirstAction(frame, ID_FILE_SAVE);  // the toolbar button
    ASSERT_NE(pSave, nullptr);
    EXPECT_FALSE(pSave->isEnabled());
}

TEST_F(MainFrameTest, PictureMenuItemsAndCommandStates)
{
    CRunningApp app({m_strFile});
    ASSERT_TRUE(app.IsStarted());
    {
        QSettings settings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat"));
        settings.remove(QStringLiteral("Recent File List"));
    }
    app.App().GetRecentFileList().ReadList();
    CMainFrame& frame = app.Frame();
    ExpectMenuMatches(frame, IDR_QUILLOTYPE);
    struct {
        uint16_t nId;
        bool bEnabled;
    } const states[] = {
        {ID_EDIT_CUT, false},  {ID_NEXT_PANE, false},      {ID_PREV_PANE, false},     {ID_EDIT_UNDO, false},
        {ID_EDIT_COPY, true},  {ID_FILE_SAVE, true},       {ID_FILE_SAVE_AS, true},   {ID_FILE_CLOSE, true},
        {ID_FILE_PRINT, true}, {ID_FILE_PRINT_PREVIEW, true}, {ID_WINDOW_NEW, true},  {ID_WINDOW_CASCADE, true},
        {ID_WINDOW_TILE_HORZ, true}, {ID_WINDOW_ARRANGE, true}, {ID_EFFECT_SOFTEN, true}, {ID_EFFECT_COLORIZE, true},
        {ID_HELP_ABOUT, true}, {ID_VIEW_TOOLBAR, true},
    };
    frame.UpdateCommandUI();
    for (const auto& s : states) {
        EXPECT_EQ(frame.IsCommandEnabled(s.nId), s.bEnabled) << s.nId;
        for (QAction* pAction : frame.FindCommandActions(s.nId))
            if (!frame.GetAcceleratorActions().contains(pAction)) {
                EXPECT_EQ(pAction->isEnabled(), s.bEnabled) << s.nId;
            }
    }
}

TEST_F(MainFrameTest, AcceleratorsCarryTheirKeys)
{
    CRunningApp app({m_strFile});
    ASSERT_TRUE(app.IsStarted());
    CMainFrame& frame = app.Frame();
    const QList<QAction*> accels = frame.GetAcceleratorActions();
    ASSERT_EQ(accels.size(), 19);
    struct {
        QKeySequence keys;
        uint16_t nId;
    } const cases[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Insert), ID_EDIT_COPY}, {QKeySequence(Qt::SHIFT | Qt::Key_Insert), ID_EDIT_PASTE},
        {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_CUT}, {QKeySequence(Qt::ALT | Qt::Key_Backspace), ID_EDIT_UNDO},
        {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},      {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
        {QKeySequence(Qt::Key_F1), ID_APP_ABOUT},                {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
        {QKeySequence(Qt::CTRL | Qt::Key_N), ID_FILE_NEW},       {QKeySequence(Qt::CTRL | Qt::Key_P), ID_FILE_PRINT},
        {QKeySequence(Qt::CTRL | Qt::Key_Plus), ID_VIEW_ZOOM_IN},   {QKeySequence(Qt::CTRL | Qt::Key_Equal), ID_VIEW_ZOOM_IN},
        {QKeySequence(Qt::CTRL | Qt::Key_Minus), ID_VIEW_ZOOM_OUT}, {QKeySequence(Qt::CTRL | Qt::Key_0), ID_VIEW_ZOOM_ORIGINAL},
    };
    for (const auto& c : cases) {
        bool bFound = false;
        for (QAction* pAction : accels)
            if (pAction->shortcut() == c.keys)
                bFound = pAction->property(COMMAND_ID_PROPERTY).toInt() == c.nId;
        EXPECT_TRUE(bFound) << c.keys.toString().toStdString();
    }
    // Menu items show the shortcut in their text and carry no key of their own, so no key
    // is ambiguous.
    for (QAction* pAction : frame.findChildren<QAction*>())
        if (!accels.contains(pAction) && pAction->property(COMMAND_ID_PROPERTY).isValid()) {
            EXPECT_TRUE(pAction->shortcut().isEmpty()) << pAction->text().toStdString();
        }
}

TEST_F(MainFrameTest, CutKeysDoNothingCopyKeysCopy)
{
    CRunningApp app({m_strFile});
    ASSERT_TRUE(app.IsStarted());
    CMainFrame& frame = app.Frame();
    frame.activateWindow();
    QClipboard* pClipboard = QGuiApplication::clipboard();
    pClipboard->clear();
    CQuillomatDoc* pDoc = app.ActiveDoc();
    ASSERT_NE(pDoc, nullptr);
    for (QKeySequence keys : {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}) {
        for (QAction* pAction : frame.GetAcceleratorActions())
            if (pAction->shortcut() == keys)
                pAction->trigger();
    }
    EXPECT_EQ(pDoc->GetDib().GetDimensions(), (CSize{40, 30}));
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_FALSE(CQtDibClipboard::HasPicture());
    for (QAction* pAction : frame.GetAcceleratorActions())
        if (pAction->shortcut() == QKeySequence(Qt::CTRL | Qt::Key_Insert))
            pAction->trigger();
    EXPECT_TRUE(CQtDibClipboard::HasPicture());
}

TEST_F(MainFrameTest, ToolbarAndStatusBar)
{
    CRunningApp app({m_strFile});
    ASSERT_TRUE(app.IsStarted());
    CMainFrame& frame = app.Frame();
    auto* pToolBar = frame.findChild<QToolBar*>(QStringLiteral("toolBar"));
    ASSERT_NE(pToolBar, nullptr);
    std::vector<int> ids;
    for (QAction* pAction : pToolBar->actions()) {
        ids.push_back(pAction->isSeparator() ? 0 : pAction->property(COMMAND_ID_PROPERTY).toInt());
        if (!pAction->isSeparator()) {
            EXPECT_EQ(pAction->icon().availableSizes().value(0), QSize(16, 15));
        }
    }
    EXPECT_EQ(ids, (std::vector<int>{57600, 57601, 57603, 0, 57607, 32774}));
    QAction* pRead = pToolBar->actions().last();
    EXPECT_EQ(pRead->statusTip(), QStringLiteral("Liest ein Bild vom GB ein"));
    QAction* pNew = pToolBar->actions().first();
    EXPECT_EQ(pNew->statusTip(), QStringLiteral("Liest ein Bild vom GB."));
    EXPECT_EQ(pNew->toolTip(), QStringLiteral("Bild von GB lesen"));

    // The three lock panes, in order, wide enough for their texts.
    for (int i = 0; i < 3; ++i) {
        QLabel* pPane = frame.GetIndicator(i);
        ASSERT_NE(pPane, nullptr);
        EXPECT_EQ(pPane->property(COMMAND_ID_PROPERTY).toInt(), ID_INDICATOR_CAPS + i);
        EXPECT_TRUE(pPane->text().isEmpty() || pPane->text() == QStringList({"UF", "NUM", "RF"})[i]);
    }
    // The hovered item's prompt goes to the status bar.
    pNew->showStatusText(&frame);
    EXPECT_EQ(frame.statusBar()->currentMessage(), QStringLiteral("Liest ein Bild vom GB."));
    // Toggling the bars.
    frame.OnCommand(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(frame.statusBar()->isHidden());
    frame.OnCommand(ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(frame.statusBar()->isHidden());
    frame.OnCommand(ID_VIEW_TOOLBAR);
    EXPECT_TRUE(pToolBar->isHidden());
    QAction* pToggle = FirstAction(frame, ID_VIEW_TOOLBAR);
    ASSERT_NE(pToggle, nullptr);
    EXPECT_FALSE(pToggle->isChecked());
}

TEST_F(MainFrameTest, MissingFileOnTheCommandLineEndsTheStart)
{
    CModalAnswerer answerer;
    CRunningApp app({QDir(TestDir()).filePath(QStringLiteral("gibtsnicht.bmp"))});
    EXPECT_FALSE(app.IsStarted());
    EXPECT_EQ(answerer.GetCount(), 1);
}

TEST_F(MainFrameTest, TitleNamesTheActivePicture)
{
    CRunningApp app({m_strFile});
    ASSERT_TRUE(app.IsStarted());
    CMainFrame& frame = app.Frame();
    struct {
        const char* pszStep;
        std::function<void()> fnDo;
        const char* pszTitle;
    } const steps[] = {
        {"opened", [] {}, "Quillomat - rahmen.bmp"},
        {"maximised", [&] { frame.GetActiveFrame()->showMaximized(); }, "Quillomat - [rahmen.bmp]"},
        {"restored", [&] { frame.GetActiveFrame()->showNormal(); }, "Quillomat - rahmen.bmp"},
        {"maximised again", [&] { frame.GetActiveFrame()->showMaximized(); }, "Quillomat - [rahmen.bmp]"},
        {"second window", [&] { frame.OnCommand(ID_WINDOW_NEW); }, "Quillomat - [rahmen.bmp:2]"},
        {"second restored", [&] { frame.GetActiveFrame()->showNormal(); }, "Quillomat - rahmen.bmp"},
        {"maximised before closing", [&] { frame.GetActiveFrame()->showMaximized(); }, "Quillomat - [rahmen.bmp:2]"},
        {"closed", [&] {
             app.ActiveDoc()->SetModifiedFlag(false);
             frame.OnCommand(ID_FILE_CLOSE);
         }, "Quillomat"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.pszStep);
        step.fnDo();
        const QString strExpected = QString::fromUtf8(step.pszTitle);
        EXPECT_TRUE(WaitFor([&] { return frame.windowTitle() == strExpected; }, 2000))
            << frame.windowTitle().toStdString();
    }
}

TEST_F(MainFrameTest, SystemMenuItemsCarryTheirPrompts)
{
    CRunningApp app({m_strFile});
    ASSERT_TRUE(app.IsStarted());
    QMenu* pMenu = app.Frame().GetActiveFrame()->systemMenu();
    ASSERT_NE(pMenu, nullptr);
    // Each window command, found by its German name, says in the status bar what it does.
    std::map<QString, QString> tips;
    for (QAction* pAction : pMenu->actions())
        if (!pAction->isSeparator())
            tips[QString(pAction->text()).remove(QLatin1Char('&'))] = pAction->statusTip();
    const std::pair<const char*, const char*> expected[] = {
        {"Wiederherstellen", "Stellt das Fenster in seiner normalen Größe wieder her."},
        {"Verschieben", "Ändert die Position des Fensters."},
        {"Größe", "Ändert die Fenstergröße."},
        {"Minimieren", "Verkleinert das Fenster zu einem Symbol."},
        {"Maximieren", "Vergrößert das Fenster zu voller Größe."},
        {"Schließen", "Schließt das aktive Fenster und fordert zur Dokumentspeicherung auf."},
    };
    if (tips.count(QStringLiteral("Schließen")) == 0)
        GTEST_SKIP() << "Qt's German translation is not installed; the items cannot be told by name";
    for (const auto& [pszItem, pszTip] : expected)
        EXPECT_EQ(tips[QString::fromUtf8(pszItem)], QString::fromUtf8(pszTip)) << pszItem;
}

TEST_F(MainFrameTest, TheStatusBarShowsThePromptOfEveryHighlightedItem)
{
    CRunningApp app({m_strFile});
    ASSERT_TRUE(app.IsStarted());
    CMainFrame& frame = app.Frame();
    QGuiApplication::clipboard()->clear();
    QMenu* pEditMenu = frame.GetMenus(IDR_QUILLOTYPE).at(1);
    QMenu* pSystemMenu = frame.GetActiveFrame()->systemMenu();
    ASSERT_NE(pSystemMenu, nullptr);
    // Disabled items ("Rückgängig" without a snapshot, "Ausschneiden" always, "Einfügen" with an
    // empty clipboard), an enabled one, and the system menu's, which Qt leaves to the menu itself.
    const struct {
        QMenu* pMenu;
        int nId;  // 0: the system menu's item with this prompt
        const char* pszPrompt;
    } cases[] = {
        {pEditMenu, ID_EDIT_UNDO, "Macht die letzte Aktion rückgängig."},
        {pEditMenu, ID_EDIT_CUT, "Entfernt die Markierung und überträgt sie in die Zwischenablage."},
        {pEditMenu, ID_EDIT_PASTE, "Fügt den Inhalt der Zwischenablage ein."},
        {pEditMenu, ID_EDIT_COPY, "Kopiert die Markierung und überträgt sie in die Zwischenablage."},
        {pSystemMenu, 0, "Vergrößert das Fenster zu voller Größe."},
        {pSystemMenu, 0, "Schließt das aktive Fenster und fordert zur Dokumentspeicherung auf."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszPrompt);
        const QString strPrompt = QString::fromUtf8(c.pszPrompt);
        c.pMenu->popup(QPoint(10, 10));  // the menu fills itself as it opens
        ASSERT_TRUE(WaitFor([&] { return c.pMenu->isVisible(); }, 2000));
        QAction* pItem = nullptr;
        for (QAction* pAction : c.pMenu->actions())
            if (c.nId ? pAction->property(COMMAND_ID_PROPERTY).toInt() == c.nId : pAction->statusTip() == strPrompt)
                pItem = pAction;
        ASSERT_NE(pItem, nullptr);
        EXPECT_EQ(pItem->isEnabled(), c.nId == 0 || c.nId == ID_EDIT_COPY);
        frame.statusBar()->clearMessage();
        const QPoint pos = c.pMenu->actionGeometry(pItem).center();
        QMouseEvent move(QEvent::MouseMove, QPointF(pos), c.pMenu->mapToGlobal(QPointF(pos)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(c.pMenu, &move);
        EXPECT_TRUE(WaitFor([&] { return frame.statusBar()->currentMessage() == strPrompt; }, 2000))
            << frame.statusBar()->currentMessage().toStdString();
        c.pMenu->hide();
        EXPECT_TRUE(WaitFor([&] { return frame.statusBar()->currentMessage().isEmpty(); }, 2000));
    }
}
