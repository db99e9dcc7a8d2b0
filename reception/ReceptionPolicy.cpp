#include "reception/ReceptionPolicy.h"

#include <cstring>

#include "protocol/PacketParser.h"
#include "reception/PacketEngine.h"
#include "reception/PrintSeries.h"
#include "reception/ReceptionState.h"

namespace {

constexpr int32_t MAX_SEARCHES = 60;          // searches without a data packet per attempt
// All prints: a game polls the busy printer for a hundred packets and more between two prints;
// ending the attempt there would leave its packets unanswered, and a console that misses an
// answer gives the rest of the series up. Only silence ends such an attempt, or this many.
constexpr int32_t MAX_SERIES_SEARCHES = 3000;
constexpr uint8_t STANDARD_PALETTE = 0xE4;    // 0x00 means the same

class CSinglePrintPolicy : public IReceptionPolicy {
public:
    int32_t MaxSearches() const override { return MAX_SEARCHES; }
    bool AnswersBreak() const override { return false; }
    int32_t BeginAttempt(CReceptionState& state) const override
    {
        state.m_Print = CPrintFacts{};
        state.m_Print.m_bAwaitInit = true;
        return 0;
    }
    // A packet the line lost before a data packet or the print packet may have been one of the
    // print's data packets: the print is not whole, and the data packets after it are not
    // taken, since their place in the picture is not known. A loss after the print packet
    // counts only when more data follows. Data before the attempt heard an INIT is the rest of
    // a print begun earlier: it is not taken either. What is answered on the line does not change.
    int32_t OnPacket(CReceptionState& state, int32_t nResult, const CPacketValue& packet, bool bLost,
                     int32_t nBlock) const override
    {
        CPrintFacts& print = state.m_Print;
        if (nResult == PACKET_INIT && state.m_nBlockCount == 0) {
            // A print begins, and the attempt has taken no block yet: what was lost or came
            // before it belongs to an earlier print (the printer clears what it did not print).
            print = CPrintFacts{};
            return 0;
        }
        print.m_bLostPending = print.m_bLostPending || bLost;
        if (nResult == PACKET_INIT)
            print.m_bAwaitInit = false;
        if (nResult == PACKET_DATA && packet.nLength > 0) {
            print.m_bData = true;
            print.m_bLost = print.m_bLost || print.m_bLostPending || print.m_bAwaitInit;
            if (print.m_bLost)
                return BLOCKS_PER_ATTEMPT;
            print.m_bOverflow = print.m_bOverflow || nBlock >= BLOCKS_PER_ATTEMPT;
        } else if (nResult == PACKET_PRINT && print.m_bData) {
            // A print packet that does not match its sum says nothing sure of margins and palette.
            print.m_bLost = print.m_bLost || print.m_bLostPending || !packet.SumMatches();
            print.m_bLostPending = false;
            std::memcpy(print.m_Args, packet.args, PRINT_ARG_BYTES);
            const uint8_t nPalette = packet.args[PRINT_ARG_PALETTE];
            if (packet.SumMatches() && nPalette != STANDARD_PALETTE && nPalette != 0 && print.m_nOtherPalette == 0)
                print.m_nOtherPalette = nPalette;
        }
        return nBlock;
    }
    void EndAttempt(CReceptionState&, int32_t) const override {}
};

class CSeriesPolicy : public IReceptionPolicy {
public:
    int32_t MaxSearches() const override { return MAX_SERIES_SEARCHES; }
    // A BREAK is answered as a printer does, so that a console which checks every answer ends
    // the session without an error.
    bool AnswersBreak() const override { return true; }
    int32_t BeginAttempt(CReceptionState& state) const override { return SeriesAttemptBlock(state); }
    int32_t OnPacket(CReceptionState& state, int32_t nResult, const CPacketValue& packet, bool bLost,
                     int32_t nBlock) const override
    {
        return SeriesOnPacket(state, nResult, packet, bLost, nBlock);
    }
    void EndAttempt(CReceptionState& state, int32_t nBlock) const override { SeriesEndAttempt(state, nBlock); }
};

}  // namespace

const IReceptionPolicy& SinglePrintPolicy()
{
    static const CSinglePrintPolicy POLICY;
    return POLICY;
}

const IReceptionPolicy& SeriesPolicy()
{
    static const CSeriesPolicy POLICY;
    return POLICY;
}
