#pragma once
// "Seitenansicht": the printed page on screen, over the main window, with the row of buttons
// of the framework's print preview: print, next and previous page, one or two pages, zoom in
// and out, and "Schließen" back to the picture.
#include <QDialog>

class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QPushButton;
class QStatusBar;

class CPreviewDlg : public QDialog {
    Q_OBJECT
public:
    // exec() ends with this when the user chose "Drucken...": the caller then prints.
    static constexpr int PRINT_REQUESTED = 2;

    CPreviewDlg(QPrinter* pPrinter, QWidget* pParent);

    QPrintPreviewWidget* GetPreview() const { return m_pPreview; }

signals:
    // The page is to be drawn on this printer (the preview's own).
    void PaintRequested(QPrinter* pPrinter);

protected:
    bool event(QEvent* pEvent) override;

private:
    QPushButton* AddButton(const QString& strText, const QString& strName);
    void SetZoom(int nZoom);
    void UpdateButtons();

    QPrintPreviewWidget* m_pPreview = nullptr;
    QStatusBar* m_pStatusBar = nullptr;
    QLabel* m_pPageLabel = nullptr;
    QWidget* m_pButtonRow = nullptr;
    QPushButton* m_pNext = nullptr;
    QPushButton* m_pPrevious = nullptr;
    QPushButton* m_pTwoPages = nullptr;
    QPushButton* m_pZoomIn = nullptr;
    QPushButton* m_pZoomOut = nullptr;
    int m_nZoom = 0;  // 0 whole page, 1 page width, 2 twice the page width
};
