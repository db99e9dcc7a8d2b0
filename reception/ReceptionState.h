#pragma once
// The block table, counters and stream buffers of one receive dialog. About 1.5 MB with the
// copies strict mode keeps, so the session keeps it on the heap; nothing in it is allocated
// while a reception runs.
#include <cstdint>

#include "protocol/TileGeometry.h"
#include "reception/PrintSeries.h"

constexpr int32_t BLOCK_TABLE_SIZE = 40;        // blocks the table has room for
constexpr int32_t BLOCKS_PER_ATTEMPT = 39;      // blocks one attempt may fill (0 to 38)
constexpr int32_t BLOCK_ENTRIES = 2000;         // entries per block
constexpr int32_t MAX_BLOCK_LENGTH = 1999;      // data bytes kept from one packet
constexpr int32_t RAW_STREAM_SIZE = 110000;
constexpr int32_t PICTURE_DATA_SIZE = 220000;
constexpr int32_t EXPAND_LIMIT = 200000;        // expansion output, padding included

// How a block's bytes came to be what they are (m_BlockHow). A new packet at the block's
// index starts it again at BLOCK_FROM_LINE or BLOCK_AS_RECEIVED.
enum : uint8_t {
    BLOCK_FROM_LINE = 0,    // not good: bytes as they came, sum not matched, not verified yet
    BLOCK_AS_RECEIVED = 1,  // good: the bytes matched their sum as they came off the line
    BLOCK_REBUILT = 2,      // good: bytes cut on lost sync were rebuilt, then the sum matched
    BLOCK_ESTIMATED = 3,    // matches only because a late pass made a byte whatever the sum
                            // asked for, or the line's marks show that bits may have moved
                            // where the sum cannot see it: the sum cannot vouch for the bytes.
                            // Good, except in strict mode
    BLOCK_FAILED = 4,       // no pass made it match; kept as it stands until a print refills it
    BLOCK_SUSPECT = 5,      // strict mode: the sum matches, but the line marked bytes in it,
                            // and bits that move between neighbouring bytes keep the sum
    BLOCK_UNCONFIRMED = 6,  // strict mode: clean and matching, but only one print says so
    BLOCK_CONFIRMED = 7,    // strict mode: good, every byte agreed by two prints on clean line
};

// Strict mode keeps the copies of a block that the last prints brought, so that every byte can
// be confirmed by two of them (a 16-bit sum cannot see two flipped bits that cancel).
constexpr int32_t BLOCK_COPIES = 6;

struct CBlockCopy {
    uint16_t m_Entries[BLOCK_ENTRIES];  // mark and data byte, as in m_BlockData
    int32_t m_nLength;
    uint16_t m_nSum;
    int32_t m_nHeard;    // leading bytes that may witness: all of them, unless the packet broke off
    bool m_bSumHeard;    // the checksum came (the packet did not break off)
};

struct CReceptionState {
    // One entry per data byte: high byte the exchange's mark, low byte the data byte.
    uint16_t m_BlockData[BLOCK_TABLE_SIZE][BLOCK_ENTRIES];
    int32_t m_BlockLength[BLOCK_TABLE_SIZE];
    uint16_t m_BlockSum[BLOCK_TABLE_SIZE];      // expected sum of the data bytes
    uint16_t m_BlockGood[BLOCK_TABLE_SIZE];     // once good, never overwritten while open
    uint8_t m_BlockHow[BLOCK_TABLE_SIZE];       // BLOCK_ code: how the bytes became good
    uint8_t m_BlockTimedOut[BLOCK_TABLE_SIZE];  // an exchange of its data or checksum timed out
    int32_t m_BlockHeard[BLOCK_TABLE_SIZE];     // of such a block: data bytes before the silence

    // Strict mode (set when the dialog opens): the engine leaves every block to the
    // verification, which takes a block only when two prints agree on every byte.
    bool m_bStrict;
    CBlockCopy m_Copies[BLOCK_TABLE_SIZE][BLOCK_COPIES];
    int32_t m_nCopies[BLOCK_TABLE_SIZE];        // copies held, newest last

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

    bool m_bAllPrints;          // every print of the session goes into one picture
    CPrintSeries m_Series;      // all-prints mode: the series held and the pass being read

    uint8_t m_RawStream[RAW_STREAM_SIZE];       // the blocks joined in order
    uint8_t m_PictureData[PICTURE_DATA_SIZE];   // tile bytes for the view
    int32_t m_nByteCount;       // valid bytes in m_RawStream, after expansion in m_PictureData
    int32_t m_nMaxByteCount;    // m_nByteCount at the end of the last attempt with data

    // Everything zero: the state of a freshly constructed dialog.
    CReceptionState();
    // What opening the dialog clears: good flags, block and byte counts, header counts.
    void ClearKept();
};
