#pragma once
// What the two ways of receiving do differently on the line. By default one print is taken:
// an attempt ends when the console has sent no data for a while, a BREAK goes unanswered, and
// every attempt fills the block table from its first block. All prints: the series goes on
// across attempts, only silence ends an attempt, a BREAK is answered, and each packet moves
// the series' bookkeeping on (see PrintSeries.h).
#include <cstdint>

struct CPacketValue;
struct CReceptionState;

class IReceptionPolicy {
public:
    virtual ~IReceptionPolicy() = default;
    // Packet searches an attempt may make before it ends, data or not.
    virtual int32_t MaxSearches() const = 0;
    // Whether a BREAK packet that arrives whole is acknowledged.
    virtual bool AnswersBreak() const = 0;
    // At the start of an attempt: the block its first data packet fills.
    virtual int32_t BeginAttempt(CReceptionState& state) const = 0;
    // After every search (nResult a PACKET_ code, packet what the parser read, bLost whether
    // the line showed a packet lost meanwhile): the block the next data packet fills.
    virtual int32_t OnPacket(CReceptionState& state, int32_t nResult, const CPacketValue& packet, bool bLost,
                             int32_t nBlock) const = 0;
    // At the end of an attempt, with the block the next data packet would fill.
    virtual void EndAttempt(CReceptionState& state, int32_t nBlock) const = 0;
};

const IReceptionPolicy& SinglePrintPolicy();
const IReceptionPolicy& SeriesPolicy();
