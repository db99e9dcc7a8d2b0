// A dump file of the RP2040 printer, or anything else a file: link may name: read whole and
// in chunks of 1 to 16 bytes (the first byte says how many), it must give the same packets,
// each agreeing with its own bytes.
#include <cstddef>
#include <cstdint>

#include "StreamFuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    return FuzzStreamDecoder(pData, nSize, EStreamSource::Any);
}
