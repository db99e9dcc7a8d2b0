#pragma once
// A scroll view on a document: scroll sizes in pixels, fitting its child frame to the content,
// and the command handlers the main frame routes to the active view first.
#include <QAbstractScrollArea>

#include <optional>

#include "bitmap/DibTypes.h"

class CDocument;
class CChildFrame;

class CView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CView(CDocument* pDoc, QWidget* pParent = nullptr);
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    CChildFrame* GetParentFrame() const;

    // Called once the view sits in its frame, before it is first shown.
    virtual void OnInitialUpdate();
    // The document changed: repaint.
    virtual void OnUpdate();

    // The commands this view handles: the result of a handled command, or nothing for others.
    virtual bool OnCommand(uint16_t nId);
    // Whether a command is enabled, for the commands this view handles; nothing for others.
    virtual std::optional<bool> OnUpdateCommand(uint16_t nId);

    // Scroll sizes: the total size in pixels (one logical unit per pixel); the page is the
    // visible part, a line a tenth of a page of the total, at least one pixel.
    void SetScrollSizes(CSize sizeTotal);
    CSize GetTotalSize() const { return m_sizeTotal; }
    CPoint GetScrollPosition() const;
    // Makes the child frame just big enough for the content, never bigger than it is now.
    void ResizeParentToFit(bool bShrinkOnly = true);

protected:
    void resizeEvent(QResizeEvent* pEvent) override;
    void scrollContentsBy(int dx, int dy) override;
    void UpdateBars();

private:
    CDocument* m_pDocument;
    CSize m_sizeTotal;
};
