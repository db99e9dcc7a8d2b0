#pragma once
// The frame of one picture window inside the main window: holds one view, carries the
// document's title (with ":n" while several windows show the document) and asks to save a
// modified document before its last window closes.
#include <QMdiSubWindow>

class CView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CChildFrame(CView* pView, QWidget* pParent = nullptr);
    ~CChildFrame() override;

    CView* GetActiveView() const { return m_pView; }
    // Closes the window without asking about the document.
    void CloseWithoutAsking();
    // Title from the document and the window's number among its windows.
    void UpdateFrameTitle();

protected:
    void closeEvent(QCloseEvent* pEvent) override;

private:
    void SetSystemMenuPrompts();

    CView* m_pView;
    bool m_bForceClose = false;
};
