#pragma once
// The program's settings: the user's profile under "Tarvo", "Quillomat"
// (~/.config/Tarvo/Quillomat.conf).
#include <QSettings>

inline QSettings OpenProfile()
{
    return QSettings(QStringLiteral("Tarvo"), QStringLiteral("Quillomat"));
}
