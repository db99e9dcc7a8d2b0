#pragma once
// "All prints": every print of a session in one picture. Games print a page as several prints
// (a header, the body, a footer), each its own data packets followed by a print packet with its
// own palette. The console knows nothing of our checksums, so a damaged print can come again
// only when the user prints the whole series again.
//
// A pass is what the console sends from the first data packet of a series to the silence after
// its last print. Its prints and blocks are numbered from 0 in the order they arrive, and print
// k of a later pass is print k of the series held: blocks that are good in either are kept,
// the better of the two wins. Where a later pass shows a print the series does not hold (other
// blocks, other lengths or compression, another palette, or good blocks with other bytes), the
// series is cut there and continues with the new pass: what the user printed last wins.
//
// The engine reads each pass into the block table (a new pass refills every block); after each
// attempt the prints the pass completed are verified and merged into the series held here,
// which keeps its own copy of every block's bytes.
#include <cstdint>
#include <cstring>

#include "protocol/PrinterProtocol.h"
#include "reception/BlockTable.h"
#include "reception/ReceptionVerdict.h"

struct CPacketValue;
struct CReceptionState;


// What a series may hold: long sessions (a card list of 28 prints is 3,776 rows) within memory.
constexpr int32_t SERIES_MAX_PRINTS = 256;
constexpr int32_t SERIES_MAX_BLOCKS = 2048;
// The tile bytes a series' picture may have.
constexpr int32_t SERIES_PICTURE_LIMIT = 1 << 24;

// How much a block of the series can be trusted.
enum : uint8_t {
    SERIES_BLOCK_BAD = 0,        // does not match its sum (or never arrived)
    SERIES_BLOCK_ESTIMATED = 1,  // matches only because the repair made a byte fit
    SERIES_BLOCK_EXACT = 2,      // matches as received, rebuilt from the line's marks, or confirmed
};

struct CSeriesPrint {
    int32_t m_nFirst;                    // first block
    int32_t m_nEnd;                      // one past the last block
    uint8_t m_Args[PRINT_ARG_BYTES];     // the print packet's data
    bool m_bArgsOk;                      // the print packet matched its checksum
};

struct CSeriesBlock {
    uint8_t m_Bytes[MAX_BLOCK_LENGTH];
    int32_t m_nLength;
    uint8_t m_nPacked;   // the data packet's compression flag
    uint8_t m_nRank;     // SERIES_BLOCK_
    bool m_bSumOnly;     // exact by its own sum alone (not confirmed by a second pass)
    bool m_bUnchecked;   // its device layout carried no checksum (ranked as estimated)
};

struct CPrintSeries {
    // The series held: its prints in order and their blocks.
    CSeriesPrint m_Prints[SERIES_MAX_PRINTS];
    int32_t m_nPrints;
    CSeriesBlock m_Blocks[SERIES_MAX_BLOCKS];

    // The pass being read. Its block c lies in the block table at c % BLOCK_TABLE_SIZE: the
    // line reads at most BLOCKS_PER_ATTEMPT blocks a pass; a device source merges every print
    // as its print packet comes, and so reuses the table.
    CSeriesPrint m_PassPrints[SERIES_MAX_PRINTS];
    int32_t m_nPassPrints;       // prints of the pass whose print packet came
    int32_t m_nPassMerged;       // of those, merged into the series
    int32_t m_nPassBlock;        // the block the pass's next data packet fills
    int32_t m_nPassFirst;        // first block of the print in progress
    uint8_t m_PassPacked[SERIES_MAX_BLOCKS];  // compression flag of each data packet of the pass
    int32_t m_nPassLimit;        // blocks a pass may hold: the line's table, or the series' bound
    // The beginning of a series must have been heard: over the line and from a live device,
    // data before which no init of the pass was heard (listening began mid-series) leaves the
    // pass not whole. A file's start is its series' start.
    bool m_bRequireInit;
    bool m_bInitHeard;           // an init came since the last pass ended
    bool m_bStartUnheard;        // the pass began with data no init of it went before
    bool m_bNewPass;             // the next data packet begins a pass (the series printed again)
    bool m_bPassData;            // the pass brought data since it began
    bool m_bAbandoned;           // the console gave a print up: a packet of it was lost
    bool m_bOverflow;            // the pass had more data packets than the table holds
    bool m_bReplaced;            // a pass cut the series and continued it with other prints
    bool m_bHeard;               // the last attempt recognised a packet

    // The state of a session that has not yet seen any data.
    void Clear()
    {
        std::memset(this, 0, sizeof(*this));
        m_bNewPass = true;
        m_nPassLimit = BLOCKS_PER_ATTEMPT;
        m_bRequireInit = true;
    }
};

// The series policy's calls (ReceptionPolicy.h). At the start of an attempt: the block its
// first data packet fills, the pass's.
int32_t SeriesAttemptBlock(CReceptionState& state);
// After every packet header search (nResult a PACKET_ code, packet what the parser read, bLost
// whether the line showed a packet lost meanwhile): returns the block the next data packet
// fills, 0 when a pass begins.
int32_t SeriesOnPacket(CReceptionState& state, int32_t nResult, const CPacketValue& packet, bool bLost, int32_t nBlock);
// At the end of an attempt, with the block the next data packet would fill.
void SeriesEndAttempt(CReceptionState& state, int32_t nBlock);

// After an attempt and the verification of its blocks: merges the prints the pass completed.
// A device source calls it after every print packet (its blocks need no verification), so
// that its pass may be longer than the block table.
void MergeSeriesPrints(CReceptionState& state);

// What the series holds now.
CReceptionVerdict JudgeSeries(const CReceptionState& state);

// The pass ended (the console went quiet): the next data packet begins the series again.
void EndSeriesPass(CReceptionState& state);
