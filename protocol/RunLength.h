#pragma once
// The console's run-length coding of picture data, for both ends of the line. A control byte
// 0x00..0x7F is followed by control + 1 literal bytes; 0x80..0xFF by one byte repeated
// (control & 0x7F) + 2 times.
#include <cstdint>
#include <span>
#include <vector>

std::vector<uint8_t> CompressRuns(std::span<const uint8_t> data);

// Expands the runs of pIn[0 .. nIn-1] into pOut and returns the bytes written, at most nOutMax
// (the rest is dropped; pOut null only counts). A run cut short by the end of the input ends
// there. No padding.
int32_t ExpandRuns(const uint8_t* pIn, int32_t nIn, uint8_t* pOut, int32_t nOutMax);

// The same into a vector, without limit.
std::vector<uint8_t> ExpandRuns(std::span<const uint8_t> data);
