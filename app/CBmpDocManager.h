#pragma once
// The program's document manager: its file dialog offers Windows bitmaps (and, for opening,
// all files) with the filters of the string table.
#include <QStringList>

#include <vector>

#include "app/CDocManager.h"

struct CReceivedImage;

class QComboBox;
class QFileDialog;

// The sizes "Speichern unter" offers for PNG files.
inline constexpr int32_t SAVE_MAX_SCALE = 8;

class CBmpDocManager : public CDocManager {
public:
    // A picture file opens as before; a printer device's log or dump that is no picture is
    // received with all prints, each image in a new untitled, modified window, and a reception
    // that is not exact says so in a message box.
    CDocument* OpenDocumentFile(const QString& strPath) override;
    // Each image in a new untitled, modified picture window; the first one's document (null
    // when none opened).
    CDocument* OpenImageWindows(const std::vector<CReceivedImage>& images);
    bool DoPromptFileName(QString& strFileName, uint16_t nTitleId, bool bOpenFileDialog,
                          CDocTemplate* pTemplate) override;

    // "Speichern unter" with a size for PNG files (1× to 8×, 1× unless chosen; only for a PNG
    // name or the PNG filter): strFileName is offered and receives the choice, nScale the size.
    // True when the user confirmed.
    bool PromptSaveAs(QString& strFileName, int32_t& nScale);
    // The size control PromptSaveAs adds to a save dialog set up by SetUpDialog.
    static QComboBox* AddSizeChoice(QFileDialog& dialog);

    // The filter list in "caption|pattern|...|" form: the string table's filters, for an open
    // dialog the all-files entry last, and one more "|" at the end.
    static QString BuildFilterList(bool bOpenFileDialog);
    // The same as name filters of a file dialog: "caption (pattern pattern)".
    static QStringList ToNameFilters(const QString& strFilterList);
    // The dialog DoPromptFileName runs, set up but not shown.
    static void SetUpDialog(QFileDialog& dialog, const QString& strFileName, uint16_t nTitleId, bool bOpenFileDialog);
};

// The open dialog's filter for printer devices' logs and dumps.
inline constexpr const char* LOG_FILTER = "Drucker-Protokolle (*.txt *.log *.bin)|*.txt;*.log;*.bin|";

// Texts the framework supplies (dialog titles, the all-files caption), from Qt's translation.
QString FrameworkString(uint16_t nId);
