#pragma once
// The main window: the area of picture windows, the menu bar (128 while no picture window is
// open, 129 while one is), the toolbar, the status bar with its prompt and lock-key panes, the
// accelerators, and the routing of every command: the active view first, then its document,
// the frames and the application. Commands nobody handles are shown disabled.
#include <QMainWindow>
#include <QPointer>

#include <map>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class CChildFrame;
class CView;
class CMenuPrompts;
struct CPopupDef;

// The property every action of the main window carries: its command id.
inline constexpr const char* COMMAND_ID_PROPERTY = "commandId";

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // Builds the window's bars and menus.
    void Create();

    QMdiArea* GetMdiArea() const { return m_pMdiArea; }
    CChildFrame* CreateChildFrame(CView* pView);
    CChildFrame* GetActiveFrame() const;
    CView* GetActiveView() const;

    // Runs a command if it is enabled now.
    void OnCommand(uint16_t nId);
    bool IsCommandEnabled(uint16_t nId) const;
    // Enables, disables and checks every menu item, toolbar button and accelerator.
    void UpdateCommandUI();

    // The menu bar shown now: IDR_MAINFRAME or IDR_QUILLOTYPE.
    uint16_t GetMenuId() const { return m_nMenuId; }
    // Every action with this command id: menu items of both menus, toolbar buttons, accelerators.
    QList<QAction*> FindCommandActions(uint16_t nId) const;
    QList<QAction*> GetAcceleratorActions() const { return m_Accelerators; }
    // The menus of a menu bar, filled as they are shown.
    const std::vector<QMenu*>& GetMenus(uint16_t nMenuId);
    QLabel* GetIndicator(int nIndex) const { return m_Indicators.at(size_t(nIndex)); }
    // The zoom pane: the active picture window's zoom ("Zoom 3×"), empty without one.
    QLabel* GetZoomPane() const { return m_pZoomPane; }
    // The reception pane: what the active picture window's last reception amounts to, in the
    // command line's words ("Empfangen: Bild exakt (9 Blöcke gelesen: …)"), empty without one.
    QLabel* GetReceptionPane() const { return m_pReceptionPane; }
    void UpdateReceptionPane();
    void UpdateZoomPane();
    // Reads the lock keys again and shows their panes.
    void UpdateIndicators();
    // The window's title: "Quillomat", with " - " and the active picture's title added while a
    // picture window is active and not maximised (a maximised one Qt names as " - [title]").
    void UpdateFrameTitle();

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    void CreateToolBar();
    void CreateStatusBar();
    void CreateAccelerators();
    QAction* MakeAction(uint16_t nId, const QString& strText, QObject* pParent);
    void FillPopup(QMenu* pMenu, const CPopupDef& popup);
    void SetMenuId(uint16_t nMenuId);
    void OnSubWindowActivated(QMdiSubWindow* pWindow);
    std::optional<bool> FrameUpdateCommand(uint16_t nId) const;
    bool OnFrameCommand(uint16_t nId);

    QMdiArea* m_pMdiArea = nullptr;
    QToolBar* m_pToolBar = nullptr;
    CMenuPrompts* m_pMenuPrompts = nullptr;
    std::vector<QLabel*> m_Indicators;
    QLabel* m_pZoomPane = nullptr;
    QLabel* m_pReceptionPane = nullptr;
    QTimer* m_pIndicatorTimer = nullptr;
    std::map<uint16_t, std::vector<QMenu*>> m_Menus;
    QList<QAction*> m_ToolbarActions;
    QList<QAction*> m_Accelerators;
    uint16_t m_nMenuId = 0;
    QPointer<CChildFrame> m_pLastActive;
};
