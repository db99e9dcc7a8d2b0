#pragma once
// The picture document: one CDib, stored and loaded as a Windows bitmap file, with the
// effect-undo snapshot and the count of how often a view has painted it.
#include "app/CDocument.h"
#include "bitmap/CDib.h"
#include "effects/UndoSnapshot.h"

// Shown instead of saving a picture that has no rows (a reception that brought nothing).
inline constexpr const char* DOC_MSG_NO_ROWS = "Das Bild ist leer (keine Zeilen) und wird nicht gespeichert.";

class CQuillomatDoc : public CDocument {
    Q_OBJECT
public:
    static constexpr int32_t PAINT_COUNT_MAX = 10;

    explicit CQuillomatDoc(QObject* pParent = nullptr);
    ~CQuillomatDoc() override;

    bool OnNewDocument() override;
    bool Serialize(const std::filesystem::path& path, bool bStoring) override;

    CDib& GetDib() { return m_Dib; }
    const CDib& GetDib() const { return m_Dib; }
    CUndoSnapshot& GetUndo() { return m_Undo; }

    // How often a view has painted the document, counted up to PAINT_COUNT_MAX.
    int32_t m_nPaintCount = 0;

private:
    CUndoSnapshot m_Undo;
    CDib m_Dib;
};
