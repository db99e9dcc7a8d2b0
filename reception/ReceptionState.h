#pragma once
// The block table, counters and stream buffers of one receive dialog. About 1.5 MB with the
// copies strict mode keeps, so the session keeps it on the heap; nothing in it is allocated
// while a reception runs.
#include <cstdint>

#include "protocol/TileGeometry.h"
#include "reception/BlockTable.h"
#include "reception/PrintSeries.h"

constexpr int32_t RAW_STREAM_SIZE = 110000;
constexpr int32_t PICTURE_DATA_SIZE = 220000;
constexpr int32_t EXPAND_LIMIT = 200000;        // expansion output, padding included

// The default mode: what the line showed of the print during one attempt.
struct CPrintFacts {
    bool m_bData;           // a data packet with data came
    bool m_bLostPending;    // the line lost a packet since the attempt began or the last print packet
    // A packet was lost before a data packet or the print packet of this print: a data packet
    // may be missing, so the blocks after it have no known place and are not taken.
    bool m_bLost;
    bool m_bOverflow;       // more data packets than an attempt may fill
    // No INIT has begun a print in this attempt yet: data now is the rest of a print whose
    // beginning the attempt did not hear (or, in a log, bands a game sent while the printer was
    // busy, which the INIT after them cleared), and has no known place. The RP2040's dump,
    // which carries no INIT, starts without waiting.
    bool m_bAwaitInit;
    uint8_t m_Args[PRINT_ARG_BYTES];  // the last print packet after data
    uint8_t m_nOtherPalette;          // a print packet's palette other than 0xE4 and 0x00; 0: none
};

struct CReceptionState {
    CBlock m_Blocks[BLOCK_TABLE_SIZE];

    // Strict mode (set when the dialog opens): the engine leaves every block to the
    // verification, which takes a block only when two prints agree on every byte.
    bool m_bStrict;

    int32_t m_nBlockCount;      // blocks of the current attempt
    int32_t m_nMaxBlockCount;   // most blocks of any attempt since opening
    // Data packet headers with data since opening, compressed and plain. The empty data
    // packets that close a print (or, in some games, open one) carry nothing to expand and
    // do not vote on whether the stream is compressed.
    int32_t m_nPackedCount;
    int32_t m_nPlainCount;
    // The current attempt: the console's print packet came after its last data packet with
    // data. Without it the print was given up or cut short, however good its blocks are.
    bool m_bPrintAfterData;
    // The line damaged a block without marking it (bits inverted on the way): a sum can then
    // no longer vouch alone for a block that came once, since two such errors may cancel in it.
    bool m_bUnmarkedDamage;

    CPrintFacts m_Print;        // the default mode: the current attempt's print
    CPrintSeries m_Series;      // all-prints mode: the series held and the pass being read

    uint8_t m_RawStream[RAW_STREAM_SIZE];       // the blocks joined in order
    uint8_t m_PictureData[PICTURE_DATA_SIZE];   // tile bytes for the view
    int32_t m_nByteCount;       // valid bytes in m_RawStream, after expansion in m_PictureData
    int32_t m_nMaxByteCount;    // m_nByteCount at the end of the last attempt with data

    // Everything zero: the state of a freshly constructed dialog.
    CReceptionState();
    // What opening the dialog clears: every block back to "from the line" (none good), the
    // copies, block and byte counts, header counts, the series.
    void ClearKept();
};
