#include "reception/PacketEngine.h"

#include <array>
#include <iterator>
#include <string>

#include "link/IPrinterLink.h"
#include "protocol/PrinterProtocol.h"
#include "reception/PrintSeries.h"
#include "reception/ReceptionState.h"

namespace {


constexpr int32_t HEADER_SEARCH_BYTES = 20;   // bytes one search may read without a packet
constexpr int32_t MAX_FAILED_SEARCHES = 18;   // one more and the console is taken as silent
constexpr int32_t MAX_SEARCHES = 60;          // searches without a data packet per attempt
// All prints: a game polls the busy printer for a hundred packets and more between two prints;
// ending the attempt there would leave its packets unanswered, and a console that misses an
// answer gives the rest of the series up. Only silence ends such an attempt, or this many.
constexpr int32_t MAX_SERIES_SEARCHES = 3000;
constexpr int32_t FOREIGN_PACKET_BYTES = 10;  // magic, command, flag, length, sum, two replies

struct CHandleRow {
    const char* pCode;
    const char* pDescription;  // Windows-1252
    int32_t nParamBytes;
};

const CHandleRow RECEPTION_HANDLES[] = {
    {"WInit PR", "Warte auf Init Sequenz f\xFC" "r Printer", 0},
    {"D Follow", "Init Sequenz des Printers. Printer sendet Daten", 0},
    {"Sende 0 Daten", "Gb Sendet Daten mit der Anzahl 0", 0},
    {"U Seq", "Unbekannte Datensequenz vom Drucker", 0},
    {"Suche Seq", "Suche Sequenz vom Drucker", 0},
    {"Drucke Data", "Drucke Data Sequenz vom Drucker", 0},
    {"Printer Init", "Printer Init Sequenz empfangen", 0},
    {"CheckSum", "CheckSumme aus Read Data Routine", 4},
    {"Block Read", "Datenblock wurde gelesen nummer des Versuchs folgend", 2},
    {"Bytes OK", "GelesenBytes, die OK sind Anzahl der Bytes folgend", 2},
    {"DataBytes", "GelesenesBytes, Ok klasifiziert", 2},
    {"ByteCount", "Position im Speicher", 4},
};

}  // namespace

void RegisterReceptionHandles(IPrinterLink& link)
{
    // Made once, so that registering on every attempt allocates nothing.
    struct CHandleTexts {
        std::string strCode;
        std::string strDescription;
    };
    static const auto TEXTS = [] {
        std::array<CHandleTexts, std::size(RECEPTION_HANDLES)> texts;
        for (size_t i = 0; i < texts.size(); ++i)
            texts[i] = {RECEPTION_HANDLES[i].pCode, RECEPTION_HANDLES[i].pDescription};
        return texts;
    }();
    for (size_t i = 0; i < TEXTS.size(); ++i)
        link.GetLogHandle(TEXTS[i].strCode, TEXTS[i].strDescription, RECEPTION_HANDLES[i].nParamBytes);
}

int32_t ReadPacketHeader(IPrinterLink& link, CReceptionState& state)
{
    int32_t nPos = 0;  // 1-based position of the current byte within the packet
    bool bInPacket = false;
    bool bDone = false;
    int32_t nResult = PACKET_NONE;
    uint8_t nSend = PRINTER_NO_ANSWER;
    uint8_t nCommand = 0;
    uint8_t nFlag = 0;
    int32_t nPrintSum = 0;     // a print packet's data bytes
    int32_t nReceivedSum = 0;  // and the checksum it came with
    // A packet of a command we do not read (the BREAK that ends a session) is followed through
    // its flag, length and checksum: a well-formed one is no sign of trouble.
    int32_t nForeignPos = 0;
    int32_t nForeignSum = 0;
    state.m_nHeaderSum = 0;

    while (nPos < HEADER_SEARCH_BYTES && !bDone) {
        // After a synchronisation error the console is out of step: withhold any answer. A
        // console that misses its acknowledgement gives the print up.
        if (link.GetModulStatus() & MODUL_SYNC_ERROR) {
            if (nSend == PRINTER_ACK)
                state.m_bPacketLost = true;
            nSend = PRINTER_NO_ANSWER;
        }
        const uint8_t b = link.GetSetByteExtern(nSend, SEARCH_POLL_LIMIT);
        const bool bHeard = (link.GetModulStatus() & MODUL_TIMEOUT) == 0;
        nSend = PRINTER_NO_ANSWER;
        ++nPos;

        bool bForeignByte = false;
        if (nForeignPos > 0) {
            ++nForeignPos;
            bForeignByte = bHeard && (nForeignPos <= 6   ? b == 0
                                      : nForeignPos == 7 ? b == (nForeignSum & 0xFF)
                                      : nForeignPos == 8 ? b == (nForeignSum >> 8)
                                                         : true);
            if (!bForeignByte)
                state.m_bPacketLost = true;  // not a packet after all: the console broke off
            // All prints: a BREAK is answered as a printer does, so that a console which checks
            // every answer ends the session without an error.
            else if (nForeignPos == 8 && nForeignSum == PRINTER_CMD_BREAK && state.m_bAllPrints)
                nSend = PRINTER_ACK;
            if (!bForeignByte || nForeignPos == FOREIGN_PACKET_BYTES)
                nForeignPos = 0;
        }

        if (nPos == 1)
            bInPacket = false;
        if (!bInPacket && b == PRINTER_MAGIC_1) {
            bInPacket = true;
            nPos = 1;
        }
        if (!bInPacket) {
            // A byte outside any packet: a packet we could not make out went unanswered.
            if (bHeard && !bForeignByte)
                state.m_bPacketLost = true;
            continue;
        }
        // The console fell silent inside the packet: it was cut off.
        if (!bHeard)
            state.m_bPacketLost = true;

        // The print packet's four data bytes and its checksum: all-prints mode applies the
        // palette among them to the print.
        if (nCommand == PRINTER_CMD_PRINT && nPos >= 7 && nPos <= 12) {
            if (nPos <= 10) {
                state.m_PrintArgs[nPos - 7] = b;
                nPrintSum += b;
            } else if (nPos == 11) {
                nReceivedSum = b;
            } else {
                nReceivedSum += 256 * b;
                state.m_bPrintArgsOk = nReceivedSum == ((state.m_nHeaderSum + nPrintSum) & 0xFFFF);
            }
        }

        switch (nPos) {
        case 1:
            break;
        case 2:
            if (b != PRINTER_MAGIC_2) {
                bInPacket = false;
                state.m_bPacketLost = true;  // a packet began that we cannot answer
            }
            break;
        case 3:
            if (b == PRINTER_CMD_INIT || b == PRINTER_CMD_PRINT || b == PRINTER_CMD_DATA || b == PRINTER_CMD_STATUS) {
                nCommand = b;
                state.m_nHeaderSum = b;
            } else {
                bInPacket = false;
                nForeignPos = 3;
                nForeignSum = b;
            }
            break;
        case 4:
            if (b == 0x00 || (b == 0x01 && nCommand == PRINTER_CMD_DATA)) {
                nFlag = b;
                if (nCommand == PRINTER_CMD_DATA)
                    state.m_nDataFlag = b;
                state.m_nHeaderSum += b;
            } else {
                bInPacket = false;
                state.m_bPacketLost = true;
            }
            break;
        case 5:
            state.m_nDataLength = b;
            state.m_nHeaderSum += b;
            break;
        case 6:
            state.m_nDataLength += b * 256;
            state.m_nHeaderSum += b;
            if (nCommand == PRINTER_CMD_DATA) {
                // Only a packet with data says how the picture is sent.
                if (state.m_nDataLength > 0)
                    ++(nFlag == 0x01 ? state.m_nPackedCount : state.m_nPlainCount);
                nResult = PACKET_DATA;
                bDone = true;
            }
            break;
        case 8:
            if (nCommand != PRINTER_CMD_PRINT)
                nSend = PRINTER_ACK;
            break;
        case 10:
            if (nCommand == PRINTER_CMD_INIT) {
                nResult = PACKET_INIT;
                bDone = true;
            } else if (nCommand == PRINTER_CMD_STATUS) {
                nResult = PACKET_STATUS;
                bDone = true;
            }
            break;
        case 12:
            nSend = PRINTER_ACK;
            break;
        case 14:
            nResult = PACKET_PRINT;
            bDone = true;
            break;
        default:
            break;
        }
    }
    return nResult;
}

bool ReceivePackets(IPrinterLink& link, CReceptionState& state)
{
    int32_t nBlock = 0;
    bool bAnyData = false;
    bool bStop = false;
    state.m_nBlockCount = 0;
    state.m_bPrintAfterData = false;
    state.m_bPacketLost = false;
    link.ResetExchangeState();
    // All prints: the series goes on across attempts.
    if (state.m_bAllPrints)
        nBlock = SeriesAttemptBlock(state);
    const int32_t nMaxSearches = state.m_bAllPrints ? MAX_SERIES_SEARCHES : MAX_SEARCHES;

    if (link.GetModulStatus() & MODUL_NO_MODULE)
        bStop = true;

    while (!bStop) {
        // Look for a data packet; init, print and status packets on the way are answered.
        int32_t nTries = 0;
        int32_t nFailures = 0;
        int32_t nResult = 0;
        while (nResult < 1) {
            nResult = ReadPacketHeader(link, state);
            ++nTries;
            if (nResult == PACKET_PRINT && bAnyData)
                state.m_bPrintAfterData = true;
            if (state.m_bAllPrints)
                nBlock = SeriesOnPacket(state, nResult, nBlock);
            if (nResult == PACKET_NONE) {
                if (++nFailures > MAX_FAILED_SEARCHES) {
                    bStop = true;
                    break;
                }
            } else {
                nFailures = 0;
            }
            if (nTries >= nMaxSearches)
                break;
        }
        if (nTries >= nMaxSearches)
            bStop = true;
        if (nResult != PACKET_DATA)
            continue;

        const int32_t nLength =
            state.m_nDataLength > MAX_BLOCK_LENGTH ? MAX_BLOCK_LENGTH : state.m_nDataLength;
        if (nLength > 0) {
            bAnyData = true;
            state.m_bPrintAfterData = false;  // this data still waits for its print packet
        }
        const bool bStore = nBlock < BLOCKS_PER_ATTEMPT && !state.m_BlockGood[nBlock];
        uint32_t nSum = static_cast<uint32_t>(state.m_nHeaderSum);
        bool bMarked = false;
        bool bTimedOut = false;  // the console stopped inside the packet: the rest is silence
        int32_t nHeard = nLength;  // data bytes before the silence
        for (int32_t k = 0; k < nLength; ++k) {
            const uint8_t b = link.GetSetByteExtern(PRINTER_NO_ANSWER, DATA_POLL_LIMIT);
            if (bStore) {
                const uint16_t nMark = static_cast<uint8_t>(link.GetLastMark());
                state.m_BlockData[nBlock][k] = static_cast<uint16_t>(nMark << 8 | b);
                bMarked = bMarked || nMark != 0;
            }
            if (!bTimedOut && (link.GetModulStatus() & MODUL_TIMEOUT) != 0) {
                bTimedOut = true;
                nHeard = k;
            }
            nSum += b;
        }

        const uint8_t nLow = link.GetSetByteExtern(PRINTER_NO_ANSWER, DATA_POLL_LIMIT);
        bTimedOut = bTimedOut || (link.GetModulStatus() & MODUL_TIMEOUT) != 0;
        const uint8_t nHigh = link.GetSetByteExtern(PRINTER_NO_ANSWER, DATA_POLL_LIMIT);
        bTimedOut = bTimedOut || (link.GetModulStatus() & MODUL_TIMEOUT) != 0;
        const uint16_t nReceived = static_cast<uint16_t>(nLow + 256 * nHigh);
        if (nLength > 0 && nBlock < BLOCKS_PER_ATTEMPT) {
            ++state.m_nBlockCount;
            if (state.m_nBlockCount > state.m_nMaxBlockCount)
                state.m_nMaxBlockCount = state.m_nBlockCount;
            if (!state.m_BlockGood[nBlock]) {
                state.m_BlockSum[nBlock] = static_cast<uint16_t>(nReceived - state.m_nHeaderSum);
                state.m_BlockLength[nBlock] = nLength;
                state.m_BlockHow[nBlock] = BLOCK_FROM_LINE;
                state.m_BlockTimedOut[nBlock] = bTimedOut;
                state.m_BlockHeard[nBlock] = nHeard;
                // A block the line marked is left to the verification, even when its sum
                // matches: bits that moved between bytes can keep the sum. In strict mode
                // the verification decides every block.
                if (nReceived == static_cast<uint16_t>(nSum) && !bMarked && !state.m_bStrict) {
                    state.m_BlockGood[nBlock] = 1;
                    state.m_BlockHow[nBlock] = BLOCK_AS_RECEIVED;
                }
                if (nReceived != static_cast<uint16_t>(nSum) && !bMarked && !bTimedOut)
                    state.m_bUnmarkedDamage = true;
            }
            ++nBlock;
        }
        link.GetSetByteExtern(PRINTER_ACK, DATA_POLL_LIMIT);
        link.GetSetByteExtern(PRINTER_NO_ANSWER, DATA_POLL_LIMIT);
    }
    if (state.m_bAllPrints)
        SeriesEndAttempt(state, nBlock);
    return bAnyData;
}
