// What a serial line or a saved log may bring, read by the stream reader: any bytes, in one
// piece and in chunks of 1 to 16 bytes (the first byte says how many), must give the same
// packets, and every packet must agree with its own bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "StreamFuzzSupport.h"
#include "streams/StreamDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return 0;
    const size_t nChunk = pData[0] % 16 + 1;
    ++pData;
    --nSize;
    CFingerprintSink whole;
    CStreamDecoder wholeDecoder(whole, EStreamSource::Text);
    wholeDecoder.Feed(pData, nSize);
    wholeDecoder.Finish();

    CFingerprintSink pieces;
    CStreamDecoder pieceDecoder(pieces, EStreamSource::Text);
    for (size_t n = 0; n < nSize; n += nChunk)
        pieceDecoder.Feed(pData + n, nSize - n < nChunk ? nSize - n : nChunk);
    pieceDecoder.Finish();
    if (whole.m_strPrint != pieces.m_strPrint || wholeDecoder.GetLayout() != pieceDecoder.GetLayout())
        std::abort();
    return 0;
}
