#pragma once
// Options of the simulated console and link module, as written after "sim:" in a link string:
// comma-separated, e.g. "picture=card.bmp,compress,version=4,faults=stall:0.002,seed=7".

#include <cstdint>
#include <string>
#include <vector>

// picture=card prints the built-in test card (four grey bands, a frame, a diagonal) instead of
// the default photo.
inline constexpr const char* SIM_PICTURE_CARD = "card";

struct CSimOptions {
    std::string strPicture;     // picture=FILE[+FILE...]: bitmap files to print, one print each;
                                // picture=card: the test card
    std::string strReplay;      // replay=FILE: packets to send as recorded, one a line, hex bytes
    bool bCompress = false;     // compress: data packets run-length compressed
    std::vector<bool> compressed;     // compress=1+0: per print of a series
    std::vector<uint8_t> palettes;    // palette=E4[+D2...]: the print packet's palette, per print
    int32_t nPolls = 100;       // polls=N: status inquiries after the print, as real consoles
                                // send tens to hundreds while the printer is busy
    bool bBreak = false;        // break: the session ends with a BREAK packet (0x08)
    bool bReplayAck = false;    // ack: a replay, too, gives up without the printer's 0x81
    int32_t nVersion = 3;       // version=3|4 a usable module, 2 one that fails the version test, 0 none
    uint16_t nBase = 0x378;     // base=0x378|0x278|0x3BC
    double dStall = 0.0;        // faults=stall:P  per byte: the receiver misses the clock for a while
    double dFlip = 0.0;         // faults=flip:P   per byte: one data bit from the console inverted
    double dCut = 0.0;          // faults=cut:P    per packet: the console stops in the middle of it
    uint64_t nSeed = 1;         // seed=N
    int32_t nReprints = 2;      // reprints=N: prints again after a print in which a fault happened
    int64_t nHalf = 30;         // half=N: status reads per clock half-period
    int64_t nGap = 120;         // gap=N: status reads of idle clock between the bytes of a packet
    int64_t nPause = 2000;      // pause=N: status reads between packets (well under the search's 30000)
    // start=N: the first print begins N status reads after the console is made, whatever the
    // program does; -1 (the default): 1000 reads after the program, having begun its ticks,
    // first polls again, as a user presses print once the dialog has opened.
    int64_t nStart = -1;
    // delay=N: silence before a re-print; longer than a receiver needs to give up an attempt:
    // 19 x 20 exchanges of up to 30000 reads each, after a noise byte taken for a data header
    // has perhaps made it wait out up to 2003 data bytes of 5000 reads each.
    int64_t nReprintDelay = 24000000;
};

// Parses the text after "sim:" (may be empty). On failure returns false with strError naming
// the option that is wrong, and that option as written in pCulprit when given.
bool ParseSimOptions(const std::string& strText, CSimOptions& options, std::string& strError,
                     std::string* pCulprit = nullptr);
