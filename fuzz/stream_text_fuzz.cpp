// What a serial line or a saved log may bring, read by the stream reader: any bytes, in one
// piece and in chunks of 1 to 16 bytes (the first byte says how many), must give the same
// packets, and every packet must agree with its own bytes.
#include <cstddef>
#include <cstdint>

#include "StreamFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    return FuzzStreamDecoder(pData, nSize, EStreamSource::Text);
}
