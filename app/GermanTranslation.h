#pragma once
// The program is German whatever the locale: Qt's own texts (file dialog, message box buttons,
// print dialogs) come from its German translation.
class QCoreApplication;

// Loads qtbase_de (and qt_de where present) from Qt's translation folder; false when missing.
bool InstallGermanTranslation(QCoreApplication& app);
