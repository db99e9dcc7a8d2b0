#pragma once
// The picture view: paints the document's picture (1:1, or enlarged by the window's zoom, every
// picture pixel a square block), runs the reception the first time an empty new picture is
// painted, and handles copy, paste, undo, the effects, the zoom, "Speichern unter" with its
// size, printing and the print preview. The effect settings and the zoom belong to the view,
// not to the document: effects, copy, printing and saving work on the picture, never on the
// zoomed view.
#include <array>
#include <cstdint>
#include <vector>

#include "app/CView.h"
#include "effects/Soften.h"
#include "protocol/TileGeometry.h"

class CQuillomatDoc;
class IDibSurface;
class QPrinter;
struct CReceivedImage;

class CQuillomatView : public CView {
    Q_OBJECT
public:
    explicit CQuillomatView(CQuillomatDoc* pDoc, QWidget* pParent = nullptr);
    ~CQuillomatView() override;

    CQuillomatDoc* GetDocument() const;

    void OnInitialUpdate() override;
    // Paints the picture onto a screen, printer or preview surface; the first paint of an empty
    // new picture queues the reception.
    void OnDraw(IDibSurface& surface);

    // The zoom steps; the view starts at 1.
    static constexpr std::array<int32_t, 6> ZOOM_STEPS = {1, 2, 3, 4, 6, 8};
    int32_t GetZoom() const { return m_nZoom; }
    // What the last reception in this window amounts to, for the status bar; empty without one.
    const QString& GetReceptionText() const { return m_strReception; }
    // Shows the picture nZoom times as large (one of ZOOM_STEPS) and fits the window to it, as
    // far as the main window allows.
    void SetZoom(int32_t nZoom);
    void ZoomIn();
    void ZoomOut();
    // The largest step at which the whole picture fits into the main window (at least 1).
    void ZoomToFit();

    // "Kopieren" puts the picture this many times as large on the clipboard (profile
    // "Edit/CopyScale", 1 … 8, default 1).
    static int32_t GetCopyScale();
    static void SetCopyScale(int32_t nScale);
    // "Speichern unter" with a size for PNG files: 1 saves the document as before; a larger
    // size writes an enlarged copy and leaves the document, its name and its changes as they are.
    void OnFileSaveAs();
    void OnEditCopySize();
    void OnPalette();

    bool OnCommand(uint16_t nId) override;
    std::optional<bool> OnUpdateCommand(uint16_t nId) override;

    // The receive dialog, modally; takes over its byte count and picture bytes and marks the
    // document modified. With each image in its own window chosen, the images of the series
    // when there is more than one (else none).
    std::vector<CReceivedImage> ReceivePicture();
    // After the first paint: receive, build the picture, set the scroll sizes, fit the frame.
    // Images of a series to be split: the first in this window, each other one in a new one.
    void ReceiveAndShow();

    void OnEditCopy();
    void OnEditPaste();
    bool IsPasteEnabled() const;
    void OnEditUndo();
    void OnColorize();
    void OnSoften();
    void OnFilePrint();
    void OnFilePrintPreview();
    // Prints the picture on the printer's first page.
    void PrintTo(QPrinter* pPrinter);

    // True while a queued reception has not run yet.
    bool IsReceptionPending() const { return m_bReceptionPending; }

    int32_t m_nTileBytes = 0;
    std::array<uint8_t, TILE_DATA_SIZE> m_TileData{};
    int32_t m_nColorChoice = 0;
    int32_t m_nPaletteChoice = 0;
    CSoftenSettings m_SoftenSettings;

signals:
    void ZoomChanged(int32_t nZoom);
    // A reception into this window ended (GetReceptionText says what it brought).
    void ReceptionJudged();

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void wheelEvent(QWheelEvent* pEvent) override;

private:
    void FitFrame();
    // Grows or shrinks the window to the zoomed picture, within the main window's area.
    void FitFrameToZoom();
    void SetScrollSizesToPicture();
    // Sets the zoom; ptKeep (viewport coordinates) stays over the same picture point.
    void ApplyZoom(int32_t nZoom, QPoint ptKeep);

    bool m_bReceptionPending = false;
    int32_t m_nZoom = 1;
    QString m_strReception;
};
