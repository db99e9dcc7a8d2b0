#include "log/SystemHandles.h"

#include <array>

namespace {

const SystemHandleRow kNoHandle = {
    0, "F0", "Fehler kein Handle möglich, sollte nur im Logfile erscheinen wenn alle Handles besetzt sind ", 0};

const SystemHandleRow kFreeRow = {
    255, "xB", "Unbekanter Befehl Handle nicht vergeben, sollte nicht im Logfile erscheinen", 0};

constexpr const char* kNotAssignedError = "Fehlernummer noch nicht vergeben, sollte nicht im Logfile erscheinen";
constexpr const char* kNotAssignedSystem = "SystemBefehl noch nicht vergeben, sollte nicht im Logfile erscheinen";

const std::array<SystemHandleRow, 47> kSystemRows = {{
    {1, "Z1", "Fehler im WriteLog Aufruf (Handle folgend), erwartete Parameter wurde nicht übergeben", 1},
    {2, "Z2", "Fehler im WriteLog Aufruf (Handle folgend), es wurde versucht ein Parameter zu übergeben", 1},
    {3, "F Synk", "Fehler Syncronisation in der getakteten GetByte Routine Nummer des Fehlerbits folgend", 1},
    {4, "Port IO´s", "Portausgaben BusZyklen", 4},
    {5, "Wrongs", kNotAssignedError, 1},
    {6, "Z-", kNotAssignedError, 0},
    {7, "Z-", kNotAssignedError, 0},
    {8, "Z-", kNotAssignedError, 0},
    {9, "Z-", kNotAssignedError, 0},
    {10, "Z-", kNotAssignedError, 0},
    {11, "Z-", kNotAssignedError, 0},
    {12, "Z-", kNotAssignedError, 0},
    {13, "Z-", kNotAssignedError, 0},
    {14, "Z-", kNotAssignedError, 0},
    {15, "--", "FüllByte: Leerer Eintrag dient zum Abgleich des Logfiles. Keine weitere Bedeutung", 0},
    {16, "SP", "Set PriorityClass", 2},
    {17, "RP", "ResetPriorityClass", 2},
    {18, "MS", "Get ModulSpeed", 2},
    {19, "MV", "ModulVersion", 1},
    {20, "MP", "ModulPort", 2},
    {21, "CC", "Create IOModul Class wird im Konstruktor aufgerufen", 0},
    {22, "GS T", "Get Byte , Set Byte getaktet aus der ByteTakt Routine ", 2},
    {23, "+L", "DoLog gestzt automatisch Daten loggen eingeschaltet Der Befehl davor wurde geloggt", 0},
    {24, "-L", "DoLog gelöscht automatisch loggen ausgeschaltet", 0},
    {25, "GS NT", "Get Byte , Set Byte  extern von GB getaktet", 2},
    {26, "S-", kNotAssignedSystem, 0},
    {27, "S-", kNotAssignedSystem, 0},
    {28, "S-", kNotAssignedSystem, 0},
    {29, "S-", kNotAssignedSystem, 0},
    {30, "S-", kNotAssignedSystem, 0},
    {31, "S-", kNotAssignedSystem, 0},
    {32, "S-", kNotAssignedSystem, 0},
    {33, "S-", kNotAssignedSystem, 0},
    {34, "S-", kNotAssignedSystem, 0},
    {35, "S-", kNotAssignedSystem, 0},
    {36, "S-", kNotAssignedSystem, 0},
    {37, "S-", kNotAssignedSystem, 0},
    {38, "S-", kNotAssignedSystem, 0},
    {39, "S-", kNotAssignedSystem, 0},
    {40, "S-", kNotAssignedSystem, 0},
    {41, "S-", kNotAssignedSystem, 0},
    {42, "S-", kNotAssignedSystem, 0},
    {43, "S-", kNotAssignedSystem, 0},
    {44, "S-", kNotAssignedSystem, 0},
    {45, "S-", kNotAssignedSystem, 0},
    {46, "S-", kNotAssignedSystem, 0},
    {47, "S-", kNotAssignedSystem, 0},
}};

}  // namespace

const SystemHandleRow& NoHandleRow() { return kNoHandle; }
const SystemHandleRow& FreeHandleRow() { return kFreeRow; }
std::span<const SystemHandleRow> SystemHandleRows() { return kSystemRows; }
