#include "app/CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/CChildFrame.h"
#include "app/CDocTemplate.h"
#include "app/CDocument.h"
#include "app/CQuillomatApp.h"
#include "app/CQuillomatView.h"
#include "app/CView.h"
#include "app/LockKeyState.h"
#include "app/MenuPrompts.h"
#include "dialogs/Profile.h"
#include "res/ToolbarImages.h"
#include "res/Menus.h"
#include "res/Resource.h"
#include "res/StringTable.h"

namespace {

constexpr uint16_t ID_MDI_WINDOW_FIRST = 0xFF00;  // the entries of the window list

QString ResText(uint16_t nId)
{
    return QString::fromUtf8(LoadResString(nId));
}

} // namespace

CMainFrame::CMainFrame()
{
    // Written every time the main window is made; nothing reads it.
    QSettings profile = OpenProfile();
    profile.setValue(QStringLiteral("Horntest/ErsterVersuch"), 15);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::Create()
{
    setWindowTitle(ResText(IDR_MAINFRAME));
    setWindowIcon(AppIcon());
    m_pMdiArea = new QMdiArea(this);
    m_pMdiArea->setObjectName(QStringLiteral("mdiArea"));
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_pMdiArea);
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);
    // "Einfügen" follows what the clipboard holds, whoever changed it.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CMainFrame::UpdateCommandUI);

    CreateToolBar();
    CreateStatusBar();
    m_pMenuPrompts = new CMenuPrompts(statusBar(), this);
    CreateAccelerators();
    SetMenuId(IDR_MAINFRAME);
    resize(800, 600);
    UpdateCommandUI();
}

QAction* CMainFrame::MakeAction(uint16_t nId, const QString& strText, QObject* pParent)
{
    auto* pAction = new QAction(strText, pParent);
    pAction->setProperty(COMMAND_ID_PROPERTY, int(nId));
    pAction->setObjectName(QStringLiteral("ID_%1").arg(nId));
    QString strPrompt = QString::fromUtf8(CommandPrompt(nId));
    pAction->setStatusTip(strPrompt);
    QString strTip = QString::fromUtf8(CommandTip(nId));
    pAction->setToolTip(strTip.isEmpty() ? strPrompt : strTip);
    connect(pAction, &QAction::triggered, this, [this, nId] { OnCommand(nId); });
    return pAction;
}

void CMainFrame::CreateToolBar()
{
    m_pToolBar = new QToolBar(this);
    m_pToolBar->setObjectName(QStringLiteral("toolBar"));
    m_pToolBar->setWindowTitle(QString::fromUtf8(CommandTip(ID_VIEW_TOOLBAR)).section(QLatin1Char(' '), 0, 0));
    m_pToolBar->setIconSize(QSize(16, 15));
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_pToolBar->setMovable(true);
    for (uint16_t nId : ToolbarButtons()) {
        if (nId == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* pAction = MakeAction(nId, QString::fromUtf8(CommandTip(nId)), m_pToolBar);
        pAction->setIcon(QIcon(ToolbarImage(nId)));
        if (pAction->text().isEmpty())
            pAction->setText(QString::fromUtf8(CommandPrompt(nId)));
        m_pToolBar->addAction(pAction);
        m_ToolbarActions.append(pAction);
    }
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
}

void CMainFrame::CreateStatusBar()
{
    QStatusBar* pBar = statusBar();
    pBar->setObjectName(QStringLiteral("statusBar"));
    m_pZoomPane = new QLabel(pBar);
    m_pZoomPane->setObjectName(QStringLiteral("zoomPane"));
    m_pZoomPane->setAlignment(Qt::AlignCenter);
    m_pZoomPane->setFrameShape(QFrame::Panel);
    m_pZoomPane->setFrameShadow(QFrame::Sunken);
    m_pZoomPane->setMinimumWidth(m_pZoomPane->fontMetrics().horizontalAdvance(QStringLiteral("Zoom 8×")) + 12);
    // Left of the panes, where a menu prompt covers it while it is shown.
    m_pReceptionPane = new QLabel(pBar);
    m_pReceptionPane->setObjectName(QStringLiteral("receptionPane"));
    pBar->addWidget(m_pReceptionPane, 1);
    pBar->addPermanentWidget(m_pZoomPane);
    for (uint16_t nId : StatusIndicators()) {
        auto* pLabel = new QLabel(pBar);
        pLabel->setObjectName(QStringLiteral("ID_%1").arg(nId));
        pLabel->setProperty(COMMAND_ID_PROPERTY, int(nId));
        pLabel->setAlignment(Qt::AlignCenter);
        pLabel->setFrameShape(QFrame::Panel);
        pLabel->setFrameShadow(QFrame::Sunken);
        // Room for the text whether it is shown or not.
        pLabel->setMinimumWidth(pLabel->fontMetrics().horizontalAdvance(ResText(nId)) + 12);
        pBar->addPermanentWidget(pLabel);
        m_Indicators.push_back(pLabel);
    }
    m_pIndicatorTimer = new QTimer(this);
    m_pIndicatorTimer->setInterval(250);
    connect(m_pIndicatorTimer, &QTimer::timeout, this, &CMainFrame::UpdateIndicators);
    m_pIndicatorTimer->start();
    UpdateIndicators();
}

void CMainFrame::UpdateIndicators()
{
    const LockKey keys[] = {LockKey::Caps, LockKey::Num, LockKey::Scroll};
    std::span<const uint16_t> ids = StatusIndicators();
    for (size_t i = 0; i < m_Indicators.size() && i < ids.size(); ++i) {
        std::optional<bool> state = QueryLockKey(keys[i]);
        QString strText = state.value_or(false) ? ResText(ids[i]) : QString();
        if (m_Indicators[i]->text() != strText)
            m_Indicators[i]->setText(strText);
    }
}

void CMainFrame::UpdateZoomPane()
{
    auto* pView = qobject_cast<CQuillomatView*>(GetActiveView());
    const QString strText = pView ? QStringLiteral("Zoom %1×").arg(pView->GetZoom()) : QString();
    if (m_pZoomPane && m_pZoomPane->text() != strText)
        m_pZoomPane->setText(strText);
}

void CMainFrame::UpdateReceptionPane()
{
    auto* pView = qobject_cast<CQuillomatView*>(GetActiveView());
    const QString strText = pView ? pView->GetReceptionText() : QString();
    if (m_pReceptionPane && m_pReceptionPane->text() != strText)
        m_pReceptionPane->setText(strText);
}

void CMainFrame::CreateAccelerators()
{
    for (const CAccelDef& accel : AcceleratorTable()) {
        QAction* pAction = MakeAction(accel.nId, QString::fromUtf8(CommandTip(accel.nId)), this);
        pAction->setObjectName(QStringLiteral("ACCEL_%1").arg(accel.nId));
        pAction->setShortcut(QKeySequence(QString::fromLatin1(accel.pszKeys), QKeySequence::PortableText));
        pAction->setShortcutContext(Qt::WindowShortcut);
        addAction(pAction);
        m_Accelerators.append(pAction);
    }
}

const std::vector<QMenu*>& CMainFrame::GetMenus(uint16_t nMenuId)
{
    auto it = m_Menus.find(nMenuId);
    if (it != m_Menus.end())
        return it->second;
    std::vector<QMenu*>& menus = m_Menus[nMenuId];
    for (const CPopupDef& popup : MenuBarDef(nMenuId)) {
        auto* pMenu = new QMenu(QString::fromUtf8(popup.pszTitle), this);
        m_pMenuPrompts->Watch(pMenu);
        pMenu->setObjectName(QStringLiteral("menu%1_%2").arg(nMenuId).arg(menus.size()));
        const CPopupDef* pDef = &popup;
        connect(pMenu, &QMenu::aboutToShow, this, [this, pMenu, pDef] {
            FillPopup(pMenu, *pDef);
            UpdateCommandUI();
        });
        FillPopup(pMenu, popup);
        menus.push_back(pMenu);
    }
    return menus;
}

void CMainFrame::FillPopup(QMenu* pMenu, const CPopupDef& popup)
{
    pMenu->clear();
    for (const CMenuItemDef& item : popup.items) {
        if (item.nId == 0) {
            pMenu->addSeparator();
            continue;
        }
        if (item.nId == ID_FILE_MRU_FILE1) {
            const CRecentFileList* pList = CQuillomatApp::GetApp() ? &CQuillomatApp::GetApp()->GetRecentFileList() : nullptr;
            int nCount = pList ? int(pList->GetFiles().size()) : 0;
            if (nCount == 0) {
                QAction* pAction = MakeAction(item.nId, QString::fromUtf8(item.pszText), pMenu);
                pMenu->addAction(pAction);
            }
            for (int i = 0; i < nCount; ++i)
                pMenu->addAction(MakeAction(uint16_t(ID_FILE_MRU_FILE1 + i), pList->GetDisplayName(i), pMenu));
            continue;
        }
        QAction* pAction = MakeAction(item.nId, QString::fromUtf8(item.pszText), pMenu);
        if (item.nId == ID_VIEW_TOOLBAR || item.nId == ID_VIEW_STATUS_BAR)
            pAction->setCheckable(true);
        pMenu->addAction(pAction);
    }
    if (popup.items.size() && popup.items.front().nId == ID_WINDOW_NEW && m_pMdiArea) {
        // The window list: one entry per picture window, the active one checked.
        const QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList();
        if (!windows.isEmpty())
            pMenu->addSeparator();
        for (int i = 0; i < windows.size(); ++i) {
            QMdiSubWindow* pWindow = windows[i];
            QString strTitle = pWindow->windowTitle();
            strTitle.replace(QLatin1Char('&'), QStringLiteral("&&"));
            auto* pAction = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(strTitle), pMenu);
            pAction->setProperty(COMMAND_ID_PROPERTY, int(ID_MDI_WINDOW_FIRST + i));
            pAction->setStatusTip(ResText(AFX_IDS_MDICHILD));
            pAction->setCheckable(true);
            pAction->setChecked(pWindow == GetActiveFrame());
            connect(pAction, &QAction::triggered, this, [this, pWindow = QPointer<QMdiSubWindow>(pWindow)] {
                if (pWindow)
                    m_pMdiArea->setActiveSubWindow(pWindow);
            });
            pMenu->addAction(pAction);
        }
    }
}

void CMainFrame::SetMenuId(uint16_t nMenuId)
{
    if (m_nMenuId == nMenuId)
        return;
    m_nMenuId = nMenuId;
    menuBar()->clear();
    for (QMenu* pMenu : GetMenus(nMenuId))
        menuBar()->addMenu(pMenu);
}

CChildFrame* CMainFrame::CreateChildFrame(CView* pView)
{
    auto* pFrame = new CChildFrame(pView);
    if (QMenu* pSystemMenu = pFrame->systemMenu())
        m_pMenuPrompts->Watch(pSystemMenu);
    m_pMdiArea->addSubWindow(pFrame);
    QSize area = m_pMdiArea->viewport()->size();
    pFrame->resize(std::max(320, area.width() * 3 / 4), std::max(240, area.height() * 3 / 4));
    connect(pFrame, &QObject::destroyed, this, [this] {
        // The last picture window gone: the menu of the main window comes back.
        QTimer::singleShot(0, this, [this] { OnSubWindowActivated(m_pMdiArea->currentSubWindow()); });
    });
    // The title follows the picture's name and whether its window is maximised.
    if (CDocument* pDoc = pView->GetDocument())
        connect(pDoc, &CDocument::TitleChanged, this, &CMainFrame::UpdateFrameTitle);
    if (auto* pPictureView = qobject_cast<CQuillomatView*>(pView))
        connect(pPictureView, &CQuillomatView::ZoomChanged, this, [this] {
            UpdateZoomPane();
            UpdateCommandUI();
        });
    if (auto* pPictureView = qobject_cast<CQuillomatView*>(pView))
        connect(pPictureView, &CQuillomatView::ReceptionJudged, this, &CMainFrame::UpdateReceptionPane);
    connect(pFrame, &QMdiSubWindow::windowStateChanged, this,
            [this] { QTimer::singleShot(0, this, &CMainFrame::UpdateFrameTitle); });
    pFrame->show();
    m_pMdiArea->setActiveSubWindow(pFrame);
    OnSubWindowActivated(pFrame);
    return pFrame;
}

void CMainFrame::UpdateFrameTitle()
{
    QString strTitle = ResText(IDR_MAINFRAME);
    CChildFrame* pFrame = GetActiveFrame();
    if (pFrame && !pFrame->isMaximized() && pFrame->GetActiveView() && pFrame->GetActiveView()->GetDocument())
        strTitle += QStringLiteral(" - ") + pFrame->GetActiveView()->GetDocument()->GetTitle();
    if (windowTitle() != strTitle)
        setWindowTitle(strTitle);
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* pWindow)
{
    if (auto* pFrame = qobject_cast<CChildFrame*>(pWindow))
        m_pLastActive = pFrame;
    // Losing the focus to another window or a dialog does not make a picture window inactive.
    SetMenuId(GetActiveFrame() ? IDR_QUILLOTYPE : IDR_MAINFRAME);
    UpdateFrameTitle();
    UpdateCommandUI();
}

CChildFrame* CMainFrame::GetActiveFrame() const
{
    if (!m_pMdiArea)
        return nullptr;
    if (auto* pFrame = qobject_cast<CChildFrame*>(m_pMdiArea->currentSubWindow()))
        return pFrame;
    const QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList();
    if (m_pLastActive && windows.contains(m_pLastActive.data()))
        return m_pLastActive;
    for (QMdiSubWindow* p : windows)
        if (auto* pFrame = qobject_cast<CChildFrame*>(p))
            return pFrame;
    return nullptr;
}

CView* CMainFrame::GetActiveView() const
{
    CChildFrame* pFrame = GetActiveFrame();
    return pFrame ? pFrame->GetActiveView() : nullptr;
}

std::optional<bool> CMainFrame::FrameUpdateCommand(uint16_t nId) const
{
    switch (nId) {
    case ID_VIEW_TOOLBAR:
    case ID_VIEW_STATUS_BAR: return true;
    case ID_WINDOW_NEW:
    case ID_WINDOW_ARRANGE:
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORZ:
    case ID_WINDOW_TILE_VERT: return GetActiveFrame() != nullptr;
    default: return std::nullopt;
    }
}

bool CMainFrame::IsCommandEnabled(uint16_t nId) const
{
    CView* pView = GetActiveView();
    if (pView) {
        if (std::optional<bool> state = pView->OnUpdateCommand(nId))
            return *state;
        // The document's own commands.
        if (nId == ID_FILE_CLOSE || nId == ID_FILE_SAVE || nId == ID_FILE_SAVE_AS)
            return true;
    }
    if (std::optional<bool> state = FrameUpdateCommand(nId))
        return *state;
    if (CQuillomatApp* pApp = CQuillomatApp::GetApp())
        if (std::optional<bool> state = pApp->OnUpdateCommand(nId))
            return *state;
    return false;  // nobody handles it
}

void CMainFrame::OnCommand(uint16_t nId)
{
    if (!IsCommandEnabled(nId))
        return;
    CView* pView = GetActiveView();
    if (pView && pView->OnCommand(nId)) {
        UpdateCommandUI();
        return;
    }
    if (pView) {
        CDocument* pDoc = pView->GetDocument();
        switch (nId) {
        case ID_FILE_CLOSE:
            if (pDoc->SaveModified()) {
                pDoc->SetModifiedFlag(false);
                pDoc->OnCloseDocument();
            }
            UpdateCommandUI();
            return;
        case ID_FILE_SAVE: pDoc->DoFileSave(); UpdateCommandUI(); return;
        case ID_FILE_SAVE_AS: pDoc->DoSave(QString()); UpdateCommandUI(); return;
        default: break;
        }
    }
    if (!OnFrameCommand(nId))
        if (CQuillomatApp* pApp = CQuillomatApp::GetApp())
            pApp->OnCommand(nId);
    if (!m_pMdiArea)
        return;
    UpdateCommandUI();
}

bool CMainFrame::OnFrameCommand(uint16_t nId)
{
    switch (nId) {
    case ID_VIEW_TOOLBAR: m_pToolBar->setVisible(!m_pToolBar->isVisible()); return true;
    case ID_VIEW_STATUS_BAR: statusBar()->setVisible(!statusBar()->isVisible()); return true;
    case ID_WINDOW_CASCADE: m_pMdiArea->cascadeSubWindows(); return true;
    case ID_WINDOW_TILE_HORZ:
    case ID_WINDOW_TILE_VERT: m_pMdiArea->tileSubWindows(); return true;
    case ID_WINDOW_ARRANGE: {
        // Minimised windows in a row along the bottom edge.
        int nX = 0;
        const int nBottom = m_pMdiArea->viewport()->height();
        for (QMdiSubWindow* pWindow : m_pMdiArea->subWindowList()) {
            if (!pWindow->isMinimized())
                continue;
            pWindow->move(nX, nBottom - pWindow->height());
            nX += pWindow->width();
        }
        return true;
    }
    case ID_WINDOW_NEW: {
        CView* pView = GetActiveView();
        CDocument* pDoc = pView ? pView->GetDocument() : nullptr;
        if (pDoc && pDoc->GetDocTemplate())
            pDoc->GetDocTemplate()->CreateNewFrame(pDoc);
        return true;
    }
    default: return false;
    }
}

QList<QAction*> CMainFrame::FindCommandActions(uint16_t nId) const
{
    QList<QAction*> result;
    for (QAction* pAction : findChildren<QAction*>())
        if (pAction->property(COMMAND_ID_PROPERTY).toInt() == nId)
            result.append(pAction);
    return result;
}

void CMainFrame::UpdateCommandUI()
{
    UpdateZoomPane();
    UpdateReceptionPane();
    for (QAction* pAction : findChildren<QAction*>()) {
        QVariant id = pAction->property(COMMAND_ID_PROPERTY);
        if (!id.isValid() || id.toInt() >= ID_MDI_WINDOW_FIRST)
            continue;
        uint16_t nId = uint16_t(id.toInt());
        bool bEnabled = IsCommandEnabled(nId);
        // Accelerators stay live: they ask again when pressed, as the menus do when shown.
        if (!m_Accelerators.contains(pAction))
            pAction->setEnabled(bEnabled);
        if (nId == ID_VIEW_TOOLBAR)
            pAction->setChecked(m_pToolBar->isVisible());
        else if (nId == ID_VIEW_STATUS_BAR)
            pAction->setChecked(statusBar()->isVisible());
    }
}

void CMainFrame::closeEvent(QCloseEvent* pEvent)
{
    CQuillomatApp* pApp = CQuillomatApp::GetApp();
    if (pApp && !pApp->CanExit()) {
        pEvent->ignore();
        return;
    }
    QMainWindow::closeEvent(pEvent);
}
