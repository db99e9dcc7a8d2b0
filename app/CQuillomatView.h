#pragma once
// The picture view: paints the document's picture 1:1, runs the reception the first time an
// empty new picture is painted, and handles copy, paste, undo, the two effects, printing and
// the print preview. The effect settings belong to the view, not to the document.
#include <array>
#include <cstdint>

#include "app/CView.h"
#include "effects/Soften.h"
#include "protocol/TileGeometry.h"

class CQuillomatDoc;
class IDibSurface;
class QPrinter;

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

    bool OnCommand(uint16_t nId) override;
    std::optional<bool> OnUpdateCommand(uint16_t nId) override;

    // The receive dialog, modally; takes over its byte count and picture bytes and marks the
    // document modified.
    void ReceivePicture();
    // After the first paint: receive, build the picture, set the scroll sizes, fit the frame.
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
    CSoftenSettings m_SoftenSettings;

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    void FitFrame();
    void SetScrollSizesToPicture();

    bool m_bReceptionPending = false;
};
