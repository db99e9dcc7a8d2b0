#include "reception/ReceptionPolicy.h"

#include "reception/PrintSeries.h"

namespace {

constexpr int32_t MAX_SEARCHES = 60;          // searches without a data packet per attempt
// All prints: a game polls the busy printer for a hundred packets and more between two prints;
// ending the attempt there would leave its packets unanswered, and a console that misses an
// answer gives the rest of the series up. Only silence ends such an attempt, or this many.
constexpr int32_t MAX_SERIES_SEARCHES = 3000;

class CSinglePrintPolicy : public IReceptionPolicy {
public:
    int32_t MaxSearches() const override { return MAX_SEARCHES; }
    bool AnswersBreak() const override { return false; }
    int32_t BeginAttempt(CReceptionState&) const override { return 0; }
    int32_t OnPacket(CReceptionState&, int32_t, const CPacketValue&, bool, int32_t nBlock) const override
    {
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
