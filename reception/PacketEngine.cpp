#include "reception/PacketEngine.h"

#include <array>
#include <iterator>
#include <string>

#include "link/IPrinterLink.h"
#include "protocol/PacketParser.h"
#include "protocol/PrinterProtocol.h"
#include "reception/ReceptionPolicy.h"
#include "reception/ReceptionState.h"

namespace {


constexpr int32_t HEADER_SEARCH_BYTES = 20;   // bytes one search may read without a packet
constexpr int32_t MAX_FAILED_SEARCHES = 18;   // one more and the console is taken as silent

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

int32_t ReadPacketHeader(IPrinterLink& link, CPacketParser& parser, CReceptionState& state)
{
    parser.Reset();
    while (parser.GetBytesSinceStart() < HEADER_SEARCH_BYTES) {
        // After a synchronisation error the console is out of step: the parser withholds any
        // answer.
        const uint8_t nSend = parser.Answer((link.GetModulStatus() & MODUL_SYNC_ERROR) != 0);
        const uint8_t b = link.GetSetByteExtern(nSend, SEARCH_POLL_LIMIT);
        const bool bHeard = (link.GetModulStatus() & MODUL_TIMEOUT) == 0;
        switch (parser.Feed(b, static_cast<uint8_t>(link.GetLastMark()), bHeard)) {
        case EParseEvent::DataHeader:
            // Only a packet with data says how the picture is sent.
            if (parser.GetPacket().nLength > 0)
                ++(parser.GetPacket().nFlag == PACKET_COMPRESSED ? state.m_nPackedCount : state.m_nPlainCount);
            return PACKET_DATA;
        case EParseEvent::Packet:
            return parser.GetPacket().nCommand == PRINTER_CMD_INIT    ? PACKET_INIT
                   : parser.GetPacket().nCommand == PRINTER_CMD_PRINT ? PACKET_PRINT
                                                                       : PACKET_STATUS;
        case EParseEvent::None:
            break;
        }
    }
    return PACKET_NONE;
}

namespace {

// A data packet after its header: data, checksum and the printer's two answers.
const CPacketValue& ReadDataBody(IPrinterLink& link, CPacketParser& parser, uint16_t* pSink)
{
    parser.SetPayloadSink(pSink);
    EParseEvent eEvent = EParseEvent::None;
    while (eEvent != EParseEvent::Packet) {
        const uint8_t b = link.GetSetByteExtern(parser.Answer(false), DATA_POLL_LIMIT);
        const auto nMark = static_cast<uint8_t>(link.GetLastMark());
        eEvent = parser.Feed(b, nMark, (link.GetModulStatus() & MODUL_TIMEOUT) == 0);
    }
    return parser.GetPacket();
}

// A packet heard whole whose sum does not match, though the line marked none of its bytes:
// bits were inverted on the way without a trace, and may have been in a block, too, in pairs
// that keep its sum.
void NoteUnmarkedDamage(CReceptionState& state, const CPacketValue& packet)
{
    if (packet.eEnd == EPacketEnd::SumWrong && !packet.bLineMarked)
        state.m_bUnmarkedDamage = true;
}

}  // namespace

bool ReceivePackets(IPrinterLink& link, CReceptionState& state, const IReceptionPolicy& policy)
{
    int32_t nBlock = 0;
    bool bAnyData = false;
    bool bStop = false;
    state.m_nBlockCount = 0;
    state.m_bPrintAfterData = false;
    link.ResetExchangeState();
    CPacketParser parser(MAX_BLOCK_LENGTH);
    parser.SetAnswerBreak(policy.AnswersBreak());
    nBlock = policy.BeginAttempt(state);
    const int32_t nMaxSearches = policy.MaxSearches();

    if (link.GetModulStatus() & MODUL_NO_MODULE)
        bStop = true;

    while (!bStop) {
        // Look for a data packet; init, print and status packets on the way are answered.
        int32_t nTries = 0;
        int32_t nFailures = 0;
        int32_t nResult = 0;
        while (nResult < 1) {
            nResult = ReadPacketHeader(link, parser, state);
            ++nTries;
            if (nResult == PACKET_PRINT && bAnyData)
                state.m_bPrintAfterData = true;
            const bool bLost = parser.TakeLost();
            if (nResult == PACKET_INIT || nResult == PACKET_PRINT || nResult == PACKET_STATUS)
                NoteUnmarkedDamage(state, parser.GetPacket());
            nBlock = policy.OnPacket(state, nResult, parser.GetPacket(), bLost, nBlock);
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

        const int32_t nLength = parser.GetPacket().nPayload;
        if (nLength > 0) {
            bAnyData = true;
            state.m_bPrintAfterData = false;  // this data still waits for its print packet
        }
        const bool bStore = nBlock < BLOCKS_PER_ATTEMPT && !state.m_Blocks[nBlock].IsGood();
        const CPacketValue& packet = ReadDataBody(link, parser, bStore ? state.m_Blocks[nBlock].m_Entries : nullptr);
        NoteUnmarkedDamage(state, packet);
        if (nLength > 0 && nBlock < BLOCKS_PER_ATTEMPT) {
            ++state.m_nBlockCount;
            if (state.m_nBlockCount > state.m_nMaxBlockCount)
                state.m_nMaxBlockCount = state.m_nBlockCount;
            CBlock& block = state.m_Blocks[nBlock];
            if (!block.IsGood()) {
                block.m_nSum = static_cast<uint16_t>(packet.nReceivedSum - packet.nHeaderSum);
                block.m_nLength = nLength;
                block.m_bTimedOut = packet.bTimedOut;
                block.m_nHeard = packet.nHeard;
                // A block the line marked is left to the verification, even when its sum
                // matches: bits that moved between bytes can keep the sum. In strict mode
                // the verification decides every block.
                block.m_nHow = packet.SumMatches() && !packet.bMarked && !state.m_bStrict ? BLOCK_AS_RECEIVED
                                                                                           : BLOCK_FROM_LINE;
            }
            ++nBlock;
        }
    }
    policy.EndAttempt(state, nBlock);
    return bAnyData;
}

bool ReceivePackets(IPrinterLink& link, CReceptionState& state)
{
    return ReceivePackets(link, state, SinglePrintPolicy());
}
