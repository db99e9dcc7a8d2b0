#pragma once
// What a reception amounts to, in either mode: the blocks counted by how far they can be
// trusted, whether everything arrived, and from both the one decision that the command line's
// exit status, the session's closing and the sweeps read.
#include <cstdint>
#include <string>

enum class EReceptionOutcome : uint8_t {
    Complete,           // everything arrived and every block is exact
    CompleteEstimated,  // everything arrived, but some blocks match only by estimate, or only
                        // their own sum vouches for them on a line that damaged others unmarked,
                        // or their device's layout carried no checksum
    NotWholePicture,    // the print arrived whole, but it is not all the console's picture
    NotComplete,        // blocks are bad or missing, or the print (a print of the series) is not
                        // whole, or there was more data than the block table holds
};

// Why a print that arrived whole is not the console's whole picture (CReceptionVerdict::nNotWhole).
enum : uint8_t {
    NOT_WHOLE_GOES_ON = 1,    // the last print has no lower margin: the next print continues it
    NOT_WHOLE_PALETTE = 2,    // the print's palette (not 0xE4 or 0x00) is not applied
    NOT_WHOLE_TOO_LONG = 4,   // more data than the block table holds: the picture is cut
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
    bool bSeries = false;       // the verdict on a series (all prints), not on the block table
    // One print: why the picture is not the console's whole picture (NOT_WHOLE_ flags), and the
    // palette byte of the print that has one not applied.
    uint8_t nNotWhole = 0;
    uint8_t nPalette = 0;

    // Everything arrived and nothing is bad: the session closes on it.
    bool IsComplete() const { return bWhole && nBlocks > 0 && nBad == 0; }
    EReceptionOutcome Outcome() const
    {
        if (!IsComplete() || (nNotWhole & NOT_WHOLE_TOO_LONG) != 0)
            return EReceptionOutcome::NotComplete;
        if (nNotWhole != 0)
            return EReceptionOutcome::NotWholePicture;
        return nEstimated > 0 || nSumOnly > 0 || nUnchecked > 0 ? EReceptionOutcome::CompleteEstimated : EReceptionOutcome::Complete;
    }
    // A picture to rely on.
    bool IsExact() const { return Outcome() == EReceptionOutcome::Complete; }
};

// The verdict in the words the command line's summary and the desktop program's status bar
// both use (German, UTF-8).
struct CVerdictWords {
    // One word for the picture: exact, estimated, not the whole picture, incomplete.
    std::string strHeadline;
    // The blocks counted: "9 Blöcke gelesen: 8 wie empfangen, …; Ausdruck vollständig", of a
    // series "3 Ausdrucke, 27 Blöcke: 0 fehlerhaft, 0 geschätzt; Serie vollständig".
    std::string strBlocks;
    // Empty, or how many good blocks only their own sum vouches for.
    std::string strSumOnly;
    // Empty, or how many blocks came from a device layout that carries no checksum.
    std::string strUnchecked;
    // Empty, or why the print is not the console's whole picture and where to get all of it.
    std::string strNotWhole;
};
// bLastPass: the block table's verdict in all-prints mode (it holds the last pass only).
CVerdictWords DescribeVerdict(const CReceptionVerdict& verdict, bool bLastPass = false);
// The same in one line for a status bar: "Empfangen: " with the headline, the number of blocks
// and why the picture is not the console's whole one.
std::string VerdictStatusLine(const CReceptionVerdict& verdict);
