// A recorded session or a sim option string from the user, played on the simulated line: the
// parsers, the console's decompression and the line itself must stay inside their buffers.

#include "console/CSimConsole.h"
#include "console/PrintSession.h"
#include "console/SimOptions.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string strText(reinterpret_cast<const char*>(pData), nSize);

    CSimOptions options;
    std::string strError;
    ParseSimOptions(strText, options, strError);

    std::vector<CPacket> packets;
    if (!ParsePacketText(strText, packets, strError))
        return 0;
    std::vector<uint8_t> tiles = TilesOfPackets(packets);
    CSimOptions replay;
    replay.strReplay = "fuzz";
    replay.nHalf = 2;
    replay.nGap = 3;
    replay.nPause = 5;
    replay.nStart = 0;
    replay.nReprints = 0;
    replay.dStall = 0.01;
    replay.dFlip = 0.01;
    replay.dCut = 0.01;
    CSimConsole console(replay, std::move(tiles), std::move(packets));
    // Clock the whole session out, answering with a changing bit.
    for (int n = 0; n < 200000 && !console.IsFinished(); ++n) {
        console.Out(0x37A, static_cast<uint8_t>((n & 8) ? 0x02 : 0x00));
        console.In(0x379);
    }
    return 0;
}
