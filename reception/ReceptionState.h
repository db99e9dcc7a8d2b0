#pragma once
// The block table, counters and stream buffers of one receive dialog. About 500 kB, so the
// session keeps it on the heap; nothing in it is allocated while a reception runs.
#include <cstdint>

#include "protocol/TileGeometry.h"

constexpr int32_t BLOCK_TABLE_SIZE = 40;        // blocks the table has room for
constexpr int32_t BLOCKS_PER_ATTEMPT = 39;      // blocks one attempt may fill (0 to 38)
constexpr int32_t BLOCK_ENTRIES = 2000;         // entries per block
constexpr int32_t MAX_BLOCK_LENGTH = 1999;      // data bytes kept from one packet
constexpr int32_t RAW_STREAM_SIZE = 110000;
constexpr int32_t PICTURE_DATA_SIZE = 220000;
constexpr int32_t EXPAND_LIMIT = 200000;        // expansion output, padding included

struct CReceptionState {
    // One entry per data byte: high byte the exchange's mark, low byte the data byte.
    uint16_t m_BlockData[BLOCK_TABLE_SIZE][BLOCK_ENTRIES];
    int32_t m_BlockLength[BLOCK_TABLE_SIZE];
    uint16_t m_BlockSum[BLOCK_TABLE_SIZE];      // expected sum of the data bytes
    uint16_t m_BlockGood[BLOCK_TABLE_SIZE];     // once good, never overwritten while open

    int32_t m_nBlockCount;      // blocks of the current attempt
    int32_t m_nMaxBlockCount;   // most blocks of any attempt since opening
    int32_t m_nPackedCount;     // compressed data packet headers since opening
    int32_t m_nPlainCount;      // plain data packet headers since opening (empty ones too)
    int32_t m_nHeaderSum;       // command + flag + length bytes of the packet being read
    int32_t m_nDataLength;      // length field of the last data packet header

    uint8_t m_RawStream[RAW_STREAM_SIZE];       // the blocks joined in order
    uint8_t m_PictureData[PICTURE_DATA_SIZE];   // tile bytes for the view
    int32_t m_nByteCount;       // valid bytes in m_RawStream, after expansion in m_PictureData
    int32_t m_nMaxByteCount;    // largest m_nByteCount at the end of any attempt

    // Everything zero: the state of a freshly constructed dialog.
    CReceptionState();
    // What opening the dialog clears: good flags, block and byte counts, header counts.
    void ClearKept();
};
