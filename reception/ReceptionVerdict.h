#pragma once
// What a reception amounts to, in either mode: the blocks counted by how far they can be
// trusted, whether everything arrived, and from both the one decision that the command line's
// exit status, the session's closing and the sweeps read.
#include <cstdint>

enum class EReceptionOutcome : uint8_t {
    Complete,           // everything arrived and every block is exact
    CompleteEstimated,  // everything arrived, but some blocks match only by estimate, or only
                        // their own sum vouches for them on a line that damaged others unmarked,
                        // or their device's layout carried no checksum
    NotComplete,        // blocks are bad or missing, or the print (a print of the series) is not whole
};

struct CReceptionVerdict {
    int32_t nBlocks = 0;        // blocks read (the most of any attempt), or of the series' prints
    // The block table only:
    int32_t nAsReceived = 0;    // good as they came off the line
    int32_t nRebuilt = 0;       // good after bytes cut on lost sync were rebuilt and checked
    int32_t nConfirmed = 0;     // strict mode: good, every byte agreed by two prints
    // Both:
    int32_t nEstimated = 0;     // matched only by estimate (the block table: good, or bad in
                                // strict mode; the series: good)
    int32_t nBad = 0;           // not good
    // Of the good ones, those that only their own sum vouches for, on a line that damaged other
    // blocks without marking them.
    int32_t nSumOnly = 0;
    // Of the good ones, those whose device layout carried no checksum to check them by.
    int32_t nUnchecked = 0;
    // Everything arrived. One print: a print whose data the print packet followed brought as
    // many blocks as any attempt. All prints: the last pass brought every print held, gave none
    // up, left no data unprinted; every print packet matched its sum, every print ends on a band
    // boundary and the picture fits.
    bool bWhole = false;
    // All prints: the series held.
    int32_t nPrints = 0;        // prints held
    bool bFits = false;         // the picture fits the block table and the view
    int32_t nBytes = 0;         // tile bytes of the picture

    bool IsComplete() const { return bWhole && nBlocks > 0 && nBad == 0; }
    EReceptionOutcome Outcome() const
    {
        if (!IsComplete())
            return EReceptionOutcome::NotComplete;
        return nEstimated > 0 || nSumOnly > 0 || nUnchecked > 0 ? EReceptionOutcome::CompleteEstimated : EReceptionOutcome::Complete;
    }
    // A picture to rely on.
    bool IsExact() const { return Outcome() == EReceptionOutcome::Complete; }
};
