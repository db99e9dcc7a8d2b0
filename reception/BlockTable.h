#pragma once
// The block table's rows: one block per data packet of a print.
#include <cstdint>

constexpr int32_t BLOCK_TABLE_SIZE = 40;        // blocks the table has room for
constexpr int32_t BLOCKS_PER_ATTEMPT = 39;      // blocks one attempt may fill (0 to 38)
constexpr int32_t BLOCK_ENTRIES = 2000;         // entries per block
constexpr int32_t MAX_BLOCK_LENGTH = 1999;      // data bytes kept from one packet

// How a block's bytes came to be what they are (CBlock::m_nHow); whether the block is good
// follows from it. A new packet at the block's index starts it again at BLOCK_FROM_LINE or
// BLOCK_AS_RECEIVED.
enum : uint8_t {
    BLOCK_FROM_LINE = 0,    // not good: bytes as they came, sum not matched, not verified yet
    BLOCK_AS_RECEIVED = 1,  // good: the bytes matched their sum as they came off the line
    BLOCK_REBUILT = 2,      // good: bytes cut on lost sync were rebuilt, then the sum matched
    BLOCK_ESTIMATED = 3,    // good: matches only because a late pass made a byte whatever
                            // the sum asked for, or the line's marks show that bits may have
                            // moved where the sum cannot see it: the sum cannot vouch for the
                            // bytes
    BLOCK_FAILED = 4,       // no pass made it match; kept as it stands until a print refills it
    BLOCK_SUSPECT = 5,      // strict mode: the sum matches, but the line marked bytes in it,
                            // and bits that move between neighbouring bytes keep the sum
    BLOCK_UNCONFIRMED = 6,  // strict mode: clean and matching, but only one print says so
    BLOCK_CONFIRMED = 7,    // strict mode: good, every byte agreed by two prints on clean line
    BLOCK_ESTIMATE_REFUSED = 8,  // strict mode: what BLOCK_ESTIMATED is in normal mode, not good
    BLOCK_UNCHECKED = 9,    // good as far as anyone can tell: a printer device's layout carried
                            // no checksum for it (parse mode, a dump file)
};

// Matched its sum only by estimate (taken in normal mode or refused in strict mode).
constexpr bool IsEstimated(uint8_t nHow)
{
    return nHow == BLOCK_ESTIMATED || nHow == BLOCK_ESTIMATE_REFUSED;
}

// Strict mode keeps the copies of a block that the last prints brought, so that every byte can
// be confirmed by two of them (a 16-bit sum cannot see two flipped bits that cancel).
constexpr int32_t BLOCK_COPIES = 6;

struct CBlockCopy {
    uint16_t m_Entries[BLOCK_ENTRIES];  // mark and data byte, as in CBlock::m_Entries
    int32_t m_nLength;
    uint16_t m_nSum;
    int32_t m_nHeard;    // leading bytes that may witness: all of them, unless the packet broke off
    bool m_bSumHeard;    // the checksum came (the packet did not break off)
};

// One data packet's block: its bytes with the line's marks, what its sum says, how it came to
// be good, and (strict mode) the copies the last prints brought.
struct CBlock {
    // One entry per data byte: high byte the exchange's mark, low byte the data byte.
    uint16_t m_Entries[BLOCK_ENTRIES];
    int32_t m_nLength;
    uint16_t m_nSum;        // expected sum of the data bytes
    uint8_t m_nHow;         // BLOCK_ code; once good, never overwritten while open
    bool m_bTimedOut;       // an exchange of its data or checksum timed out
    int32_t m_nHeard;       // of such a block: data bytes before the silence
    CBlockCopy m_Copies[BLOCK_COPIES];
    int32_t m_nCopies;      // copies held, newest last

    bool IsGood() const
    {
        return m_nHow == BLOCK_AS_RECEIVED || m_nHow == BLOCK_REBUILT || m_nHow == BLOCK_ESTIMATED ||
               m_nHow == BLOCK_CONFIRMED || m_nHow == BLOCK_UNCHECKED;
    }
};
