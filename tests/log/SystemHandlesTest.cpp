// The fixed rows of the handle table, byte for byte, and the Windows-1252 conversion.
#include "LogTestSupport.h"

#include "log/Cp1252.h"
#include "log/SystemHandles.h"

#include <gtest/gtest.h>

namespace {

struct Row {
    int nHandle;
    std::string strCode;         // Windows-1252 bytes
    std::string strDescription;  // Windows-1252 bytes
    int32_t nParamBytes;
    uint8_t nShow;
};

const std::string kZMinus = "Fehlernummer noch nicht vergeben, sollte nicht im Logfile erscheinen";
const std::string kSMinus = "SystemBefehl noch nicht vergeben, sollte nicht im Logfile erscheinen";
const std::string kFree = "Unbekanter Befehl Handle nicht vergeben, sollte nicht im Logfile erscheinen";

// Written with escaped bytes on purpose, independent of the UTF-8 sources of the table.
const std::vector<Row> kExpectedRows = {
    {0, "F0", "Fehler kein Handle m\xF6glich, sollte nur im Logfile erscheinen wenn alle Handles besetzt sind ", 0, 2},
    {1, "Z1", "Fehler im WriteLog Aufruf (Handle folgend), erwartete Parameter wurde nicht \xFC" "bergeben", 1, 2},
    {2, "Z2", "Fehler im WriteLog Aufruf (Handle folgend), es wurde versucht ein Parameter zu \xFC" "bergeben", 1, 2},
    {3, "F Synk", "Fehler Syncronisation in der getakteten GetByte Routine Nummer des Fehlerbits folgend", 1, 2},
    {4, "Port IO\xB4s", "Portausgaben BusZyklen", 4, 1},
    {5, "Wrongs", kZMinus, 1, 1},
    {6, "Z-", kZMinus, 0, 2},
    {14, "Z-", kZMinus, 0, 2},
    {15, "--", "F\xFCllByte: Leerer Eintrag dient zum Abgleich des Logfiles. Keine weitere Bedeutung", 0, 0},
    {16, "SP", "Set PriorityClass", 2, 1},
    {17, "RP", "ResetPriorityClass", 2, 1},
    {18, "MS", "Get ModulSpeed", 2, 1},
    {19, "MV", "ModulVersion", 1, 1},
    {20, "MP", "ModulPort", 2, 1},
    {21, "CC", "Create IOModul Class wird im Konstruktor aufgerufen", 0, 1},
    {22, "GS T", "Get Byte , Set Byte getaktet aus der ByteTakt Routine ", 2, 1},
    {23, "+L", "DoLog gestzt automatisch Daten loggen eingeschaltet Der Befehl davor wurde geloggt", 0, 2},
    {24, "-L", "DoLog gel\xF6scht automatisch loggen ausgeschaltet", 0, 2},
    {25, "GS NT", "Get Byte , Set Byte  extern von GB getaktet", 2, 1},
    {26, "S-", kSMinus, 0, 2},
    {47, "S-", kSMinus, 0, 2},
    {48, "xB", kFree, 0, 2},
    {249, "xB", kFree, 0, 2},
    {255, "xB", kFree, 0, 2},
};

TEST(SystemHandleTable, InitLogInstallsEveryRowExactly)
{
    CScratchFolder dir;
    auto pStore = MakeStore(dir / "Tarvo.log");  // no file there
    for (const Row& row : kExpectedRows) {
        SCOPED_TRACE(row.nHandle);
        const uint8_t nHandle = static_cast<uint8_t>(row.nHandle);
        EXPECT_EQ(pStore->GetHandleCode(nHandle), row.strCode);
        EXPECT_EQ(pStore->GetHandleDescription(nHandle), row.strDescription);
        EXPECT_EQ(pStore->GetParamBytes(nHandle), row.nParamBytes);
        EXPECT_EQ(pStore->GetShowFlag(nHandle), row.nShow);
    }
    // Rows between the sampled ones follow their neighbours.
    for (int nHandle = 6; nHandle <= 14; ++nHandle)
        EXPECT_EQ(pStore->GetHandleCode(static_cast<uint8_t>(nHandle)), "Z-");
    for (int nHandle = 26; nHandle <= 47; ++nHandle)
        EXPECT_EQ(pStore->GetHandleCode(static_cast<uint8_t>(nHandle)), "S-");
    for (int nHandle = 48; nHandle <= 255; ++nHandle) {
        const uint8_t n = static_cast<uint8_t>(nHandle);
        ASSERT_EQ(pStore->GetHandleCode(n), pStore->GetHandleCode(255)) << nHandle;
        ASSERT_EQ(pStore->GetHandleDescription(n), pStore->GetHandleDescription(255)) << nHandle;
        ASSERT_EQ(pStore->GetShowFlag(n), 2) << nHandle;
    }
    EXPECT_EQ(pStore->GetSoftwareKennung(), "StandartLogfile Bitte SetSoftwareKennung aufrufen");
    EXPECT_EQ(pStore->GetHandleDescription(0).back(), ' ');
    EXPECT_NE(pStore->GetHandleDescription(25).find("Byte  extern"), std::string::npos);
}

TEST(SystemHandleTable, InitLogFillsTheRingAndKeepsThePositions)
{
    CScratchFolder dir;
    auto pStore = std::make_unique<CLogStore>();
    pStore->SetLogfilePath(dir / "Tarvo.log");
    pStore->InitLog();
    pStore->WriteLog(LOG_HANDLE_CC);
    pStore->WriteLog(LOG_HANDLE_GS_NT, 0x1234);
    const int32_t nWrite = pStore->GetWritePos();
    const int32_t nOldest = pStore->GetOldestPos();
    pStore->InitLog();  // still no file
    EXPECT_EQ(pStore->GetWritePos(), nWrite);
    EXPECT_EQ(pStore->GetOldestPos(), nOldest);
    for (int i = 0; i < CLogStore::LOG_RING_SIZE; ++i)
        ASSERT_EQ(pStore->GetLogBuffer()[i], CLogStore::LOG_FILL_BYTE) << i;
}

struct ConversionCase {
    std::string strCp1252;
    std::string strUtf8;
};

TEST(Cp1252, ConvertsBothWays)
{
    const std::vector<ConversionCase> cases = {
        {"Port IO\xB4s", "Port IO\xC2\xB4s"},
        {"\xFC\xF6\xE4\xDF\xC4\xD6\xDC", "\xC3\xBC\xC3\xB6\xC3\xA4\xC3\x9F\xC3\x84\xC3\x96\xC3\x9C"},
        {"\x80 5", "\xE2\x82\xAC 5"},
        {"\x9F\x8A\x99", "\xC5\xB8\xC5\xA0\xE2\x84\xA2"},
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
        {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const ConversionCase& c : cases) {
        EXPECT_EQ(Cp1252ToUtf8(c.strCp1252), c.strUtf8);
        EXPECT_EQ(Utf8ToCp1252(c.strUtf8), c.strCp1252);
    }
    // Every byte survives the way there and back.
    std::string strAll;
    for (int i = 0; i < 256; ++i)
        strAll += static_cast<char>(i);
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(strAll)), strAll);
}

TEST(Cp1252, UnmappableAndMalformedBecomeQuestionMarks)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\xE2\x98\x83", "?"},                 // snowman: no Windows-1252 byte
        {"\xF0\x9F\x98\x80x", "?x"},           // four-byte form
        {"\xC3", "?"},                         // cut sequence
        {"\xC3x", "?x"},                       // bad continuation
        {"\xC0\xBC", "??"},                    // overlong '<'
        {"\x80", "?"},                         // stray continuation byte
    };
    for (const auto& [strIn, strOut] : cases)
        EXPECT_EQ(Utf8ToCp1252(strIn), strOut);
}

}  // namespace
