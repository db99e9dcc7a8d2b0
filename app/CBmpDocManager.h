#pragma once
// The program's document manager: its file dialog offers Windows bitmaps (and, for opening,
// all files) with the filters of the string table.
#include <QStringList>

#include "app/CDocManager.h"

class QFileDialog;

class CBmpDocManager : public CDocManager {
public:
    bool DoPromptFileName(QString& strFileName, uint16_t nTitleId, bool bOpenFileDialog,
                          CDocTemplate* pTemplate) override;

    // The filter list in "caption|pattern|...|" form: the string table's filters, for an open
    // dialog the all-files entry last, and one more "|" at the end.
    static QString BuildFilterList(bool bOpenFileDialog);
    // The same as name filters of a file dialog: "caption (pattern pattern)".
    static QStringList ToNameFilters(const QString& strFilterList);
    // The dialog DoPromptFileName runs, set up but not shown.
    static void SetUpDialog(QFileDialog& dialog, const QString& strFileName, uint16_t nTitleId, bool bOpenFileDialog);
};

// Texts the framework supplies (dialog titles, the all-files caption), from Qt's translation.
QString FrameworkString(uint16_t nId);
